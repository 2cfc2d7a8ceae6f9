// The block chain both slot pools are made of, over blocks of four slots: a
// new block at the fifth live slot, the reset to the newest block when the last
// slot comes back, the most recently freed slot handed out first, and the shape
// check that debug builds assert after every change.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "engine/kernel/Parser/slot_blocks.h"

namespace {

struct test_slot {
    test_slot* next_free;
    long payload;
};

constexpr uint32_t slots_per_block = 4;

class SlotBlocks : public ::testing::Test {
protected:
    void TearDown() override { chain.free_all(); }

    std::vector<test_slot*> take(uint32_t n)
    {
        std::vector<test_slot*> slots;
        for (uint32_t i = 0; i < n; ++i)
            slots.push_back(chain.take("test slot"));
        return slots;
    }
    void give_back(const std::vector<test_slot*>& slots)
    {
        for (test_slot* s : slots)
            chain.give_back(s);
    }

    parser::slot_blocks<test_slot, slots_per_block> chain;
};

TEST_F(SlotBlocks, AFullBlockOpensANewOneAndTheResetKeepsTheNewest)
{
    std::vector<test_slot*> slots = take(slots_per_block);
    EXPECT_EQ(1u, chain.block_count());
    test_slot* extra = chain.take("test slot");
    EXPECT_EQ(2u, chain.block_count());
    EXPECT_EQ(slots_per_block + 1, chain.live_count);
    EXPECT_EQ(chain.first_block, chain.first_block->next->previous) << "the older block points back at the newer";
    EXPECT_TRUE(chain.invariants());

    std::swap(slots[1], slots[3]); // give back out of order
    give_back(slots);
    EXPECT_EQ(2u, chain.block_count());
    EXPECT_EQ(1u, chain.live_count);
    chain.give_back(extra);
    EXPECT_EQ(1u, chain.block_count());
    EXPECT_EQ(0u, chain.live_count);
    EXPECT_TRUE(chain.invariants());

    // The newer block stayed, with all its slots free again in address order.
    std::vector<test_slot*> again = take(slots_per_block);
    EXPECT_EQ(1u, chain.block_count());
    for (uint32_t i = 0; i < slots_per_block; ++i)
        EXPECT_EQ(extra + i, again[i]) << i;
    give_back(again);
}

TEST_F(SlotBlocks, TheMostRecentlyFreedSlotIsReusedFirst)
{
    std::vector<test_slot*> slots = take(3);
    chain.give_back(slots[1]);
    chain.give_back(slots[2]);
    chain.give_back(slots[0]);
    EXPECT_EQ(0u, chain.live_count);
    slots = take(4); // the reset kept the block: its slots come in address order
    std::vector<test_slot*> sorted(slots);
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, slots);

    chain.give_back(slots[1]);
    chain.give_back(slots[3]);
    EXPECT_EQ(slots[3], chain.take("test slot"));
    EXPECT_EQ(slots[1], chain.take("test slot"));
    test_slot* fresh = chain.take("test slot");
    EXPECT_EQ(0, std::count(slots.begin(), slots.end(), fresh));
    EXPECT_EQ(2u, chain.block_count());
    slots.push_back(fresh);
    give_back(slots);
}

TEST_F(SlotBlocks, TheShapeCheckFindsABrokenChain)
{
    std::vector<test_slot*> slots = take(2 * slots_per_block + 1);
    ASSERT_TRUE(chain.invariants());
    auto* middle = chain.first_block->next;

    middle->previous = nullptr; // a previous pointer that no longer names the newer block
    EXPECT_FALSE(chain.invariants());
    middle->previous = chain.first_block;

    chain.first_block->previous = middle; // the newest block claims a newer one
    EXPECT_FALSE(chain.invariants());
    chain.first_block->previous = nullptr;

    test_slot* fresh = chain.fresh;
    chain.fresh = middle->slots; // fresh slots outside the newest block
    EXPECT_FALSE(chain.invariants());
    chain.fresh = fresh;

    ASSERT_TRUE(chain.invariants());
    give_back(slots);
}

} // namespace
