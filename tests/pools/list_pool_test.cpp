// The list node pools: the pool's life with its lists, the independence of the
// statement and argument pools, and two threads sharing one (the block chain is
// tested in slot_blocks_test.cpp).
#include <cstdint>
#include <thread>

#include <gtest/gtest.h>

#include "engine/kernel/Parser/block_regions.h"
#include "engine/kernel/Parser/node_list.h"
#include "engine/kernel/Parser/node_pool.h"

namespace {

parser::node_statement* statement(uintptr_t n) { return reinterpret_cast<parser::node_statement*>(n); }
parser::node_exp* argument(uintptr_t n) { return reinterpret_cast<parser::node_exp*>(n); }

// No list of either kind outlives a test.
class ListPool : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(parser::list_pool_exists(parser::statement_list_allocator()));
        ASSERT_FALSE(parser::list_pool_exists(parser::argument_list_allocator()));
    }
};

TEST_F(ListPool, TheLastListFreesItsPoolAndTheNextStartsANewOne)
{
    parser::list_allocator& pool = parser::statement_list_allocator();
    {
        parser::statement_list first;
        first.push_back(statement(1));
        {
            parser::statement_list second;
            second.push_back(statement(2));
            EXPECT_EQ(2u, parser::list_pool_live_count(pool));
        }
        EXPECT_TRUE(parser::list_pool_exists(pool));
        EXPECT_EQ(1u, parser::list_pool_live_count(pool));
    }
    EXPECT_FALSE(parser::list_pool_exists(pool));
    parser::statement_list again;
    EXPECT_TRUE(parser::list_pool_exists(pool));
    EXPECT_EQ(0u, parser::list_pool_block_count(pool));
    again.push_back(statement(3));
    EXPECT_EQ(1u, parser::list_pool_block_count(pool));
}

TEST_F(ListPool, StatementAndArgumentPoolsAreIndependent)
{
    parser::list_allocator& args = parser::argument_list_allocator();
    parser::argument_list arguments;
    for (uintptr_t i = 1; i <= 5; ++i)
        arguments.push_back(argument(i));
    {
        parser::statement_list statements;
        for (uintptr_t i = 1; i <= 300; ++i)
            statements.push_back(statement(i));
        statements.clear();
        EXPECT_EQ(5u, parser::list_pool_live_count(args));
    }
    EXPECT_FALSE(parser::list_pool_exists(parser::statement_list_allocator()));
    EXPECT_EQ(5u, parser::list_pool_live_count(args));
    EXPECT_EQ(1u, parser::list_pool_block_count(args));
    EXPECT_EQ(argument(5), parser::argument_list::payload(arguments.last()));
}

// Independent pools still carve their blocks from one set of regions, so a
// parse ends in one partly used huge page rather than one per pool.
TEST_F(ListPool, NodeAndListBlocksShareOneRegion)
{
    void* node = parser::node_allocate(64);
    parser::argument_list arguments;
    arguments.push_back(argument(1));
    parser::statement_list statements;
    statements.push_back(statement(1));
    EXPECT_EQ(1u, parser::pool_regions.region_count());
    parser::node_release(node);
}

TEST_F(ListPool, TwoThreadsShareAPoolWithoutLosingElements)
{
    parser::statement_list keeper; // keeps the pool alive across both threads
    auto work = [] {
        for (int round = 0; round < 50; ++round) {
            parser::statement_list list;
            for (uintptr_t i = 1; i <= 600; ++i)
                list.push_back(statement(i));
            uintptr_t expected = 1;
            for (parser::list_element* e = list.first(); e; e = e->next)
                ASSERT_EQ(statement(expected++), parser::statement_list::payload(e));
        }
    };
    std::thread other(work);
    work();
    other.join();
    EXPECT_EQ(0u, parser::list_pool_live_count(parser::statement_list_allocator()));
}

} // namespace
