// The filesystem module's logging: records built from pieces, one line each in
// the log file, the observer, label filters and per-category levels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/kernel/log_record.h"
#include "host/modules/filesystem_module.h"
#include "modules/filesystem/log_levels.h"
#include "tests/modules/temp_directory.h"
#include "tests/support/captured_record.h"

#if !defined(_WIN32)
#include <sys/resource.h>

#include <csignal>

#include "tests/platform/captured_stderr.h"
#include "tests/platform/child_process.h"
#endif

namespace {

class LogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Log::SetObserver(capture_record, &records);
        ASSERT_TRUE(fs::init(directory.str().c_str(), FFSAddSourceFlags::Default, "out/cache", false, true, nullptr));
        records.clear();
    }
    void TearDown() override
    {
        fs::shutdown();
        Log::SetObserver(nullptr, nullptr);
    }
    bool has_line(const std::string& line)
    {
        return ("\n" + read_text(directory / "mirecrest.log")).find("\n" + line + "\n") != std::string::npos;
    }

    temp_directory directory;
    captured_records records;
};

TEST_F(LogTest, PiecesOfOneRecordBecomeOneLine)
{
    Log::Category(Log::ELevel::Error, "Parser", { "engine/kernel/Parser/ParserNodes", 12, "parser::f" }, true,
        "unknown subtree '%s'\n", "x");
    EXPECT_EQ(records,
        (captured_records { { Log::ELevel::Error, "Parser", "parser::f", "[parser::f] unknown subtree 'x'" } }));
    fs::shutdown();
    EXPECT_TRUE(has_line("ERRR Parser parser::f: [parser::f] unknown subtree 'x'"));
}

TEST_F(LogTest, RecordWithoutLineFeedEndsAtTheNextStart)
{
    Log::LogLine first(Log::ELevel::Warning, "Game", { "WinFrame", 1, "WinMain" });
    first.write("first ");
    first.write("and more");
    EXPECT_TRUE(records.empty());
    Log::Category(Log::ELevel::Warning, "Game", { "WinFrame", 2, "WinMain" }, false, "second\n");
    EXPECT_EQ(records,
        (captured_records { { Log::ELevel::Warning, "Game", "WinMain", "first and more" },
            { Log::ELevel::Warning, "Game", "WinMain", "second" } }));
}

TEST_F(LogTest, LineBreaksInsideARecordStayOnOneLine)
{
    Log::Category(Log::ELevel::Warning, "Game", { "WinFrame", 3, "WinMain" }, false, "a\nb\n");
    // The observer sees the text itself.
    EXPECT_EQ(records, (captured_records { { Log::ELevel::Warning, "Game", "WinMain", "a\nb" } }));
    fs::shutdown();
    EXPECT_TRUE(has_line("WARN Game WinMain: a b"));
}

TEST_F(LogTest, FatalAndLabelRecordsAreFinishedAtOnce)
{
    Log::Fatal({ "WinFrame", 394, "WinMain" }, "You are running game with -game_dir=%s but this dir is not existing!",
        "/nowhere/");
    EXPECT_EQ(records.size(), 1u);
    Log::Labelled(LogLabel('C', 'L', 'O', 'G'), { "engine/kernel/Parser/parser_y", 9, nullptr }, "syntax error");
    EXPECT_EQ(records,
        (captured_records { { Log::ELevel::Fatal, "EXIT", "WinMain",
                                "You are running game with -game_dir=/nowhere/ but this dir is not existing!" },
            { Log::ELevel::Error, "Parser", "", "syntax error" } }));
}

TEST_F(LogTest, DroppedRecordsAreNotWritten)
{
    _CLog(Log::ELevel::Info, "Game", "WinFrame", 1, "WinMain", CLFilterAction::Drop, CLLineMode::Start, "gone\n");
    Log::Labelled(LogLabel('N', 'O', 'N', 'E'), { "x", 1, nullptr }, "gone too");
    EXPECT_TRUE(records.empty());
}

TEST_F(LogTest, TextFormIsNotAFormat)
{
    _CLog(Log::ELevel::Info, "Game", "WinFrame", 1, "WinMain", CLFilterAction::Write, CLLineMode::Start,
        string_base("100%s done\n"));
    EXPECT_EQ(records, (captured_records { { Log::ELevel::Info, "Game", "WinMain", "100%s done" } }));
}

TEST(LogLabels, FilterActions)
{
    struct row {
        uint32_t label;
        CLFilterAction::ENUM action;
    } rows[] = {
        { LogLabel('N', 'O', 'N', 'E'), CLFilterAction::Drop },
        { LogLabel('F', 'A', 'T', 'L'), CLFilterAction::Fatal },
        { LogLabel('E', 'R', 'R', 'R'), CLFilterAction::Write },
        { LogLabel('V', 'E', 'R', 'E'), CLFilterAction::Write },
        { LogLabel('C', 'L', 'O', 'G'), CLFilterAction::Write },
        { LogLabel('X', 'Y', 'Z', 'W'), CLFilterAction::Drop },
        { 0, CLFilterAction::Drop },
    };
    for (const row& r : rows)
        EXPECT_EQ(_CLFilter(r.label), r.action) << std::hex << r.label;
}

TEST(LogLabels, LevelAndCategoryOfLabels)
{
    EXPECT_EQ(_CLogLevelFromId(LogLabel('C', 'L', 'O', 'G')), Log::ELevel::Error);
    EXPECT_EQ(_CLogCategoryFromLabel(LogLabel('C', 'L', 'O', 'G')), "Parser");
    EXPECT_EQ(_CLogLevelFromId(LogLabel('W', 'A', 'R', 'N')), Log::ELevel::Warning);
    EXPECT_EQ(_CLogLevelFromId(LogLabel('X', 'Y', 'Z', 'W')), Log::ELevel::None);
    EXPECT_TRUE(_CLogCategoryFromLabel(LogLabel('I', 'N', 'F', 'O')).empty());
}

TEST(LogLevels, MC_LOGTextSetsLevels)
{
    struct row {
        const char* text;
        int parser, game, other, refused;
    } rows[] = {
        { "Parser=5,Game=3", 5, 3, 4, 0 },
        { " parser = 6 , GAME=0", 6, 0, 4, 0 }, // blanks and letter case do not matter
        { "*=2,Game=7", 2, 7, 2, 0 },
        { "Parser=16,Game=x,=3,Other", 4, 4, 4, 4 },
        { "Parser=5,,Game=1,", 5, 1, 4, 0 },
        { "", 4, 4, 4, 0 },
    };
    for (const row& r : rows) {
        log_levels::table levels;
        EXPECT_EQ(log_levels::parse(r.text, levels), r.refused) << r.text;
        EXPECT_EQ(levels.level("Parser"), r.parser) << r.text;
        EXPECT_EQ(levels.level("Game"), r.game) << r.text;
        EXPECT_EQ(levels.level("Other"), r.other) << r.text;
    }
}

TEST(LogLevels, TableLimits)
{
    log_levels::table levels;
    EXPECT_FALSE(levels.set(std::string(log_levels::max_name, 'a').c_str(), 3)); // name too long
    EXPECT_TRUE(levels.set(std::string(log_levels::max_name - 1, 'a').c_str(), 3));
    for (int i = 1; i < log_levels::max_categories; ++i)
        EXPECT_TRUE(levels.set(("c" + std::to_string(i)).c_str(), 5));
    EXPECT_FALSE(levels.set("one-too-many", 5)); // full: keeps the default
    EXPECT_EQ(levels.level("one-too-many"), log_levels::default_level);
    EXPECT_TRUE(levels.set("c1", 6)); // known names can still change
    EXPECT_EQ(levels.level("C1"), 6);
}

#if !defined(_WIN32)

void game_record(const char* text)
{
    Log::Category(Log::ELevel::Warning, "Game", { "WinFrame", 5, "WinMain" }, false, "%s\n", text);
}

TEST_F(LogTest, InstanceBesideARunningOneKeepsALogOfItsOwnAndSaysWhere)
{
    game_record("from the first instance");
    int status = run_in_child([this] {
        // A second process starting the filesystem on the same write directory.
        if (!fs::init(directory.str().c_str(), FFSAddSourceFlags::Default, "out/cache", false, true, nullptr))
            return 1;
        game_record("from the second instance");
        fs::shutdown();
        return 0;
    });
    ASSERT_TRUE(exited_with(status, 0));
    game_record("the first goes on");
    EXPECT_TRUE(has_line("WARN Game WinMain: from the first instance"));
    EXPECT_TRUE(has_line("WARN Game WinMain: the first goes on"));
    std::string second = read_text(directory / "mirecrest-2.log");
    EXPECT_NE(second.find("WARN Filesystem open_log_file: another running instance holds 'mirecrest.log': this "
                          "instance logs to '"
                  + (directory / "mirecrest-2.log") + "'\n"),
        std::string::npos)
        << second;
    EXPECT_NE(second.find("WARN Game WinMain: from the second instance\n"), std::string::npos) << second;
    EXPECT_EQ(read_text(directory / "mirecrest.log").find("second"), std::string::npos);
}

TEST_F(LogTest, FailedLogWriteIsToldOnceWithTheSystemsReason)
{
    captured_stderr error;
    int status = run_in_child([] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit { 0, 0 }; // the log file may not grow: a disk with no room left
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 1;
        for (const char* text : { "one", "two", "three" })
            game_record(text);
        return 0;
    });
    ASSERT_TRUE(exited_with(status, 0));
    const std::string& told = error.text();
    std::string failure = "ERRR Filesystem log_writer: cannot write the log file '" + (directory / "mirecrest.log")
        + "': File too large\n";
    size_t at = told.find(failure);
    EXPECT_NE(at, std::string::npos) << told;
    EXPECT_EQ(told.find(failure, at + 1), std::string::npos) << "told more than once\n" << told;
    EXPECT_NE(told.find("WARN Game WinMain: three\n"), std::string::npos) << "standard error still has every record";
}

#endif

} // namespace
