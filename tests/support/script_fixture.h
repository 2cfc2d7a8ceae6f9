// Shared fixture of the front-end tests: scripts are written into a fresh
// directory that becomes the working directory, log records are captured, and
// every test must leave the node pool empty.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/kernel/Parser/node_list.h"
#include "engine/kernel/Parser/node_pool.h"
#include "host/modules/filesystem_module.h"

struct captured_record {
    int level;
    std::string category;
    std::string function;
    std::string text;
};

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes text to name (relative to the test's directory).
    void write(const std::string& name, const std::string& text);
    // Parses name with the script tool's rules and returns the walk of
    // subtree (empty and failed() when the parse or the look-up fails).
    std::string walk(const std::string& name, const std::string& subtree = "main");
    // Writes "main.ini" with text and walks its "main".
    std::string walk_text(const std::string& text) { return write("main.ini", text), walk("main.ini"); }
    // Whether the last walk failed to parse or find its subtree.
    bool failed() const { return failed_; }
    // All captured record texts joined, one per line.
    std::string log_text() const;

    std::vector<captured_record> records;

private:
    static void observe(const Log::Record& record, void* self);
    std::string directory_;
    std::string previous_directory_;
    bool failed_ = false;
};
