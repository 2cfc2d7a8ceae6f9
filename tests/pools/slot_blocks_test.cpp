// The block chain under both pools: newest block first, previous pointing back
// at the newer block, the reset to the newest block, and the shape check that
// debug builds assert after every change.
#include "engine/kernel/Parser/slot_blocks.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct slot {
    slot* next_free;
    char payload[24];
};
constexpr size_t slots_per_block = 4;
using chain = parser::slot_blocks<slot, slots_per_block>;

// Every block from the newest, following next; each block's previous is
// checked against the block walked just before it.
std::vector<chain::block*> walk(const chain& c)
{
    std::vector<chain::block*> blocks;
    for (chain::block* b = c.first_block; b; b = b->next) {
        EXPECT_EQ(b->previous, blocks.empty() ? nullptr : blocks.back()) << "block " << blocks.size();
        blocks.push_back(b);
    }
    return blocks;
}

TEST(SlotBlocks, NewBlocksGoFirstAndLinkBothWays)
{
    chain c;
    EXPECT_TRUE(c.invariants());
    std::vector<slot*> taken;
    for (size_t i = 0; i < 3 * slots_per_block + 1; ++i) {
        taken.push_back(c.take("test"));
        ASSERT_TRUE(c.invariants()) << "after slot " << i;
    }
    std::vector<chain::block*> blocks = walk(c);
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(taken.back(), blocks[0]->slots) << "the newest block serves first";
    EXPECT_EQ(taken.front(), blocks[3]->slots);

    for (size_t i = 0; i + 1 < taken.size(); ++i)
        c.give_back(taken[i]);
    EXPECT_EQ(c.block_count(), 4u) << "blocks stay while a slot is live";
    c.give_back(taken.back());
    EXPECT_EQ(walk(c), std::vector<chain::block*> { blocks[0] }) << "the reset keeps the newest block only";
    EXPECT_TRUE(c.invariants());
    EXPECT_EQ(c.take("test"), blocks[0]->slots) << "and hands its slots out from the start again";
    c.free_all();
    EXPECT_TRUE(c.invariants());
}

TEST(SlotBlocks, TheShapeCheckFindsABrokenChain)
{
    chain c;
    std::vector<slot*> taken;
    for (size_t i = 0; i < 2 * slots_per_block + 1; ++i)
        taken.push_back(c.take("test"));
    ASSERT_TRUE(c.invariants());
    chain::block* middle = c.first_block->next;

    middle->previous = nullptr; // a previous pointer that no longer names the newer block
    EXPECT_FALSE(c.invariants());
    middle->previous = c.first_block;

    c.first_block->previous = middle; // the newest block claims a newer one
    EXPECT_FALSE(c.invariants());
    c.first_block->previous = nullptr;

    slot* fresh = c.fresh;
    c.fresh = middle->slots; // fresh slots outside the newest block
    EXPECT_FALSE(c.invariants());
    c.fresh = fresh;

    ASSERT_TRUE(c.invariants());
    for (slot* s : taken)
        c.give_back(s);
    c.free_all();
}

} // namespace
