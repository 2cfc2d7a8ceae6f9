// The regions the pools carve their blocks from: blocks in address order inside
// a region, a new region only when every block of the others is in use, reuse
// of given-back blocks, and a region unmapped with its last block.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/kernel/Parser/block_regions.h"

namespace {

// 1 MB blocks: 31 to a region, so a test crosses regions with few blocks.
constexpr size_t block_size = size_t(1) << 20;
using regions_of_mb = parser::block_regions<block_size>;
constexpr uint32_t per_region = regions_of_mb::blocks_per_region;

uintptr_t address(void* p) { return reinterpret_cast<uintptr_t>(p); }

TEST(BlockRegions, RegionsHoldWhatTheirSizeAllows)
{
    EXPECT_EQ(per_region, 31u);
    EXPECT_EQ(parser::block_regions<131088>::blocks_per_region, 255u) << "node blocks";
    EXPECT_EQ(parser::block_regions<8208>::blocks_per_region, 4088u) << "list blocks";
}

TEST(BlockRegions, CarvesInAddressOrderAndAddsARegionWhenFull)
{
    regions_of_mb regions;
    std::vector<void*> blocks;
    for (uint32_t i = 0; i < per_region; ++i)
        blocks.push_back(regions.take());
    EXPECT_EQ(regions.region_count(), 1u);
    for (uint32_t i = 1; i < per_region; ++i)
        EXPECT_EQ(address(blocks[i]) - address(blocks[i - 1]), block_size) << "block " << i;
    EXPECT_EQ(address(blocks[0]) % 64, 0u) << "blocks start on a cache line";
    std::memset(blocks.back(), 0xA5, block_size); // the whole last block is writable

    blocks.push_back(regions.take());
    EXPECT_EQ(regions.region_count(), 2u);
    EXPECT_EQ(std::count(blocks.begin(), blocks.end(), nullptr), 0);

    regions.give_back(blocks.back()); // the newer region's only block
    blocks.pop_back();
    EXPECT_EQ(regions.region_count(), 1u);
    for (void* b : blocks)
        regions.give_back(b);
    EXPECT_EQ(regions.region_count(), 0u);
}

TEST(BlockRegions, GivenBackBlocksAreReusedBeforeANewRegion)
{
    regions_of_mb regions;
    std::vector<void*> blocks;
    for (uint32_t i = 0; i < per_region; ++i)
        blocks.push_back(regions.take());
    regions.give_back(blocks[3]);
    regions.give_back(blocks[7]);
    EXPECT_EQ(regions.take(), blocks[7]) << "the most recently given back first";
    EXPECT_EQ(regions.take(), blocks[3]);
    EXPECT_EQ(regions.region_count(), 1u);
    for (void* b : blocks)
        regions.give_back(b);
    EXPECT_EQ(regions.region_count(), 0u);
}

TEST(BlockRegions, AnOlderRegionWithRoomServesBeforeANewOne)
{
    regions_of_mb regions;
    std::vector<void*> first, second;
    for (uint32_t i = 0; i < per_region; ++i)
        first.push_back(regions.take());
    second.push_back(regions.take());
    second.push_back(regions.take());
    regions.give_back(first[5]);
    regions.give_back(second[1]);
    regions.give_back(second[0]); // the newer region goes back to the system
    EXPECT_EQ(regions.region_count(), 1u);
    EXPECT_EQ(regions.take(), first[5]);
    for (void* b : first)
        regions.give_back(b);
    EXPECT_EQ(regions.region_count(), 0u);
}

TEST(BlockRegions, AFreshRegionIsZeroFilled)
{
    regions_of_mb regions;
    auto* b = static_cast<unsigned char*>(regions.take());
    EXPECT_TRUE(std::all_of(b, b + block_size, [](unsigned char c) { return c == 0; }));
    regions.give_back(b);
}

} // namespace
