// The base of the script-language fixtures: every test must give back every
// node and list element it took, and may capture the log records it causes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/kernel/Parser/node_list.h"
#include "engine/kernel/Parser/node_pool.h"
#include "host/modules/filesystem_module.h"

// One finished log record. A record ends with its message's newline, which the
// filesystem module drops from the text it hands the observer.
struct captured_record {
    int level;
    std::string category;
    std::string function;
    std::string text;
};

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
        Log::SetObserver(&observe, this);
        capturing_ = true;
    }

    std::vector<captured_record> records;

private:
    static void observe(const Log::Record& r, void* self)
    {
        static_cast<ReleasedPoolsTest*>(self)->records.push_back(
            { r.level, r.category ? r.category : "", r.function ? r.function : "", r.text ? r.text : "" });
    }
    bool capturing_ = false;
};
