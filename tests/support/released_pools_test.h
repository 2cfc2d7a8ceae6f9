// The base of the script-language fixtures: every test must give back every
// node and list element it took, and may capture the log records it causes.
#pragma once

#include <gtest/gtest.h>

#include "engine/kernel/Parser/node_list.h"
#include "engine/kernel/Parser/node_pool.h"
#include "tests/support/captured_record.h"

class ReleasedPoolsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (capturing_)
            Log::SetObserver(nullptr, nullptr);
        EXPECT_EQ(parser::node_pool_live_count(), 0u) << "nodes leaked or released twice";
        EXPECT_FALSE(parser::list_pool_exists(parser::statement_list_allocator())) << "statement list pool freed";
        EXPECT_FALSE(parser::list_pool_exists(parser::argument_list_allocator())) << "argument list pool freed";
    }

    // Captures the log records into records until the test ends.
    void capture_records()
    {
        Log::SetObserver(&capture_record, &records);
        capturing_ = true;
    }

    captured_records records;

private:
    bool capturing_ = false;
};
