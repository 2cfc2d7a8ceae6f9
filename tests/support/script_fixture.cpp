// The front-end test fixture.
#include "tests/support/script_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "tools/mcscript/statement_printer.h"

namespace stdfs = std::filesystem;

namespace {

// A new, empty folder under the system's temporary folder, or an empty text.
// Tests of several processes run at once: a name is taken only by creating it.
std::string make_temp_directory()
{
    std::mt19937_64 random(std::random_device {}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        stdfs::path candidate = stdfs::temp_directory_path() / ("mc_script_" + std::to_string(random()));
        std::error_code error;
        if (stdfs::create_directory(candidate, error))
            return candidate.string();
    }
    return "";
}

} // namespace

void ScriptTest::SetUp()
{
    previous_directory_ = stdfs::current_path().string();
    directory_ = make_temp_directory();
    ASSERT_FALSE(directory_.empty());
    stdfs::current_path(directory_);
    capture_records();
}

void ScriptTest::TearDown()
{
    stdfs::current_path(previous_directory_);
    stdfs::remove_all(directory_);
    ReleasedPoolsTest::TearDown();
}

void ScriptTest::write(const std::string& name, const std::string& text)
{
    std::ofstream(name, std::ios::binary) << text;
}

std::string ScriptTest::walk(const std::string& name, const std::string& subtree_name)
{
    failed_ = true;
    parser::unit* u = ParseUnit(name.c_str(), nullptr, nullptr, true, nullptr);
    if (!u)
        return "";
    parser::subtree* tree = u->find_subtree(subtree_name.c_str());
    u->release();
    if (!tree)
        return "";
    failed_ = false;
    std::string out;
    mcscript::print_walk(out, *tree, mcscript::print_mode::walk);
    tree->release();
    return out;
}

std::string ScriptTest::log_text() const
{
    std::string all;
    for (const captured_record& r : records)
        all += r.text + "\n";
    return all;
}
