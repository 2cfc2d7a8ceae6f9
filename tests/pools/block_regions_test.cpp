// The regions the pools carve their blocks from: blocks in address order inside
// a region, a new region only when no older one has room, reuse of given-back
// blocks by size, the ends of full regions filled with smaller blocks, and a
// region unmapped with its last block.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/kernel/Parser/block_regions.h"

namespace {

// 1 MB blocks: 31 to a region, so a test crosses regions with few blocks; the
// 64-byte header and the 31 blocks leave a little under 1 MB at the region's end.
constexpr size_t big = size_t(1) << 20;
constexpr size_t small = 4096;
constexpr uint32_t per_region = parser::block_regions::blocks_per_region(big);

uintptr_t address(void* p) { return reinterpret_cast<uintptr_t>(p); }

class BlockRegions : public ::testing::Test {
protected:
    void* take(size_t size)
    {
        void* b = regions.take(size);
        taken.push_back({ b, size });
        return b;
    }
    void give_back(void* block)
    {
        auto it = std::find_if(taken.begin(), taken.end(), [&](const held& h) { return h.block == block; });
        ASSERT_NE(it, taken.end());
        regions.give_back(block, it->size);
        taken.erase(it);
    }
    // Every block goes back, and so does every region.
    void TearDown() override
    {
        while (!taken.empty())
            give_back(taken.back().block);
        EXPECT_EQ(regions.region_count(), 0u);
    }

    struct held {
        void* block;
        size_t size;
    };
    parser::block_regions regions;
    std::vector<held> taken;
};

TEST_F(BlockRegions, CarvesInAddressOrderAndAddsARegionWhenFull)
{
    std::vector<void*> blocks;
    for (uint32_t i = 0; i < per_region; ++i)
        blocks.push_back(take(big));
    EXPECT_EQ(regions.region_count(), 1u);
    for (uint32_t i = 1; i < per_region; ++i)
        EXPECT_EQ(address(blocks[i]) - address(blocks[i - 1]), big) << "block " << i;
    EXPECT_EQ(address(blocks[0]) % 64, 0u) << "blocks start on a cache line";
    std::memset(blocks.back(), 0xA5, big); // the whole last block is writable

    void* next = take(big);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(regions.region_count(), 2u);
    give_back(next); // the newer region's only block
    EXPECT_EQ(regions.region_count(), 1u);
}

TEST_F(BlockRegions, GivenBackBlocksAreReusedByTheirOwnSize)
{
    std::vector<void*> blocks;
    for (uint32_t i = 0; i < 8; ++i)
        blocks.push_back(take(big));
    void* little = take(small);
    give_back(blocks[3]);
    give_back(blocks[7]);
    give_back(little);
    EXPECT_EQ(take(big), blocks[7]) << "the most recently given back first";
    EXPECT_EQ(take(big), blocks[3]);
    EXPECT_EQ(take(small), little) << "a small block comes back from the small blocks' list";
    EXPECT_EQ(regions.region_count(), 1u);
}

TEST_F(BlockRegions, AnOlderRegionWithRoomServesBeforeANewOne)
{
    std::vector<void*> first;
    for (uint32_t i = 0; i < per_region; ++i)
        first.push_back(take(big));
    void* a = take(big);
    void* b = take(big);
    give_back(first[5]);
    give_back(b);
    give_back(a); // the newer region goes back to the system
    EXPECT_EQ(regions.region_count(), 1u);
    EXPECT_EQ(take(big), first[5]);
}

TEST_F(BlockRegions, SmallBlocksFillTheEndOfAFullRegionFirst)
{
    std::vector<void*> first;
    for (uint32_t i = 0; i < per_region; ++i)
        first.push_back(take(big));
    take(big); // opens the second region
    void* little = take(small);
    EXPECT_EQ(address(little), address(first.back()) + big) << "right behind the first region's last block";
    EXPECT_EQ(regions.region_count(), 2u);
}

TEST_F(BlockRegions, AFreshRegionIsZeroFilled)
{
    auto* b = static_cast<unsigned char*>(take(big));
    EXPECT_TRUE(std::all_of(b, b + big, [](unsigned char c) { return c == 0; }));
}

} // namespace
