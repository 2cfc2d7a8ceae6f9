// The node pool: heap objects above 120 bytes, the out-of-memory stop and two
// threads sharing the pool (its block chain is tested in slot_blocks_test.cpp).
#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/kernel/Parser/node_pool.h"

namespace {

// A reusable meeting point of a fixed number of threads. std::barrier can miss
// a wake-up in the C++ library of the Windows cross compiler (GCC 12), so the
// test keeps its own over a mutex and a condition variable.
class meeting {
public:
    explicit meeting(int parties)
        : parties_(parties)
    {
    }
    void arrive_and_wait()
    {
        std::unique_lock hold(lock_);
        int generation = generation_;
        if (++arrived_ == parties_) {
            arrived_ = 0;
            ++generation_;
            everyone_.notify_all();
            return;
        }
        everyone_.wait(hold, [&] { return generation != generation_; });
    }

private:
    const int parties_;
    int arrived_ = 0;
    int generation_ = 0;
    std::mutex lock_;
    std::condition_variable everyone_;
};

// Every test starts and ends with no live node.
class NodePool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0u, parser::node_pool_live_count()); }
    void TearDown() override { EXPECT_EQ(0u, parser::node_pool_live_count()); }
};

TEST_F(NodePool, ObjectsAbove120BytesComeFromTheHeap)
{
    void* big = parser::node_allocate(parser::node_slot_payload + 1);
    EXPECT_EQ(0u, parser::node_pool_live_count());
    void* fits = parser::node_allocate(parser::node_slot_payload);
    EXPECT_EQ(1u, parser::node_pool_live_count());
    std::memset(big, 0xab, parser::node_slot_payload + 1);
    std::memset(fits, 0xcd, parser::node_slot_payload);
    parser::node_release(big);
    EXPECT_EQ(1u, parser::node_pool_live_count());
    parser::node_release(fits);
    parser::node_release(nullptr);
}

TEST(NodePoolDeathTest, AnUnsatisfiableSizeStopsWithAReport)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The header is added to the size: the largest size that overflows it.
    EXPECT_DEATH(parser::node_allocate(SIZE_MAX - 7), "out of memory: node");
}

TEST_F(NodePool, TwoThreadsLoseNoSlot)
{
    constexpr int rounds = 40;
    constexpr uint64_t per_round = 1500; // crosses a block boundary every round
    std::vector<void*> held[2];
    meeting sync(2);
    auto work = [&](uint64_t id) {
        for (int r = 0; r < rounds; ++r) {
            for (uint64_t i = 0; i < per_round; ++i) {
                auto* p = static_cast<uint64_t*>(parser::node_allocate(64));
                p[0] = id << 32 | i;
                held[id].push_back(p);
            }
            sync.arrive_and_wait(); // both threads hold all their nodes
            if (id == 0) {
                std::vector<void*> all(held[0]);
                all.insert(all.end(), held[1].begin(), held[1].end());
                std::sort(all.begin(), all.end());
                EXPECT_EQ(all.end(), std::adjacent_find(all.begin(), all.end()));
            }
            for (uint64_t i = 0; i < per_round; ++i)
                EXPECT_EQ(id << 32 | i, *static_cast<uint64_t*>(held[id][i]));
            sync.arrive_and_wait();
            for (void* p : held[id])
                parser::node_release(p);
            held[id].clear();
        }
    };
    std::thread other(work, 1);
    work(0);
    other.join();
    EXPECT_EQ(1u, parser::node_pool_block_count());
}

} // namespace
