// Shared fixture of the front-end tests: scripts are written into a fresh
// directory that becomes the working directory, log records are captured, and
// every test must leave the node pool empty.
#pragma once

#include <string>
#include <vector>

#include "tests/support/released_pools_test.h"

class ScriptTest : public ReleasedPoolsTest {
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

private:
    std::string directory_;
    std::string previous_directory_;
    bool failed_ = false;
};
