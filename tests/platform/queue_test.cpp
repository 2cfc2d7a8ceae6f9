// The message queue (a posted quit, SIGTERM and SIGINT turned into one) and the
// message box's answers without anyone to ask.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/platform.h"
#include "tests/platform/child_process.h"

namespace {

TEST(MessageQueue, PostedQuitIsTakenOnceAndOnlyWithoutAFilterThatLeavesItOut)
{
    platform::message msg {};
    platform::post_quit_message(7);
    ASSERT_TRUE(platform::peek_message(&msg, nullptr, 0, 0, 0)); // looking does not take it
    EXPECT_FALSE(platform::peek_message(&msg, nullptr, 0x100, 0x200, platform::pm_remove));
    ASSERT_TRUE(platform::peek_message(&msg, nullptr, 0, 0, platform::pm_remove));
    EXPECT_EQ(msg.id, platform::wm_quit);
    EXPECT_EQ(msg.wparam, 7u);
    EXPECT_FALSE(platform::peek_message(&msg, nullptr, 0, 0, platform::pm_remove));
}

// In a child: the loop's first peek installs the handlers, then the signal.
int quit_code_after(int number)
{
    platform::message msg {};
    if (platform::peek_message(&msg, nullptr, 0, 0, platform::pm_remove))
        return 1;
    raise(number);
    if (!platform::peek_message(&msg, nullptr, 0, 0, platform::pm_remove) || msg.id != platform::wm_quit)
        return 2;
    if (platform::peek_message(&msg, nullptr, 0, 0, platform::pm_remove))
        return 3; // one signal, one quit
    return int(msg.wparam) == 128 + number ? 0 : 4;
}

TEST(MessageQueue, TerminationSignalsPostAQuit)
{
    EXPECT_TRUE(exited_with(run_in_child([] { return quit_code_after(SIGTERM); }), 0));
    EXPECT_TRUE(exited_with(run_in_child([] { return quit_code_after(SIGINT); }), 0));
}

TEST(MessageQueue, SecondSignalEndsTheProcess)
{
    int status = run_in_child([] {
        platform::message msg {};
        platform::peek_message(&msg, nullptr, 0, 0, platform::pm_remove);
        raise(SIGTERM);
        raise(SIGTERM); // the loop never came round to the first one
        return 0;
    });
    EXPECT_TRUE(killed_by(status, SIGTERM)) << status;
}

TEST(MessageBox, AnswerFromTheEnvironment)
{
    struct row {
        const char* answer;
        uint32_t style;
        int expected;
    } rows[] = {
        { "ok", platform::mb_okcancel | platform::mb_iconexclamation, platform::idok },
        { "cancel", platform::mb_okcancel | platform::mb_iconexclamation, platform::idcancel },
        { "cancel", platform::mb_ok | platform::mb_iconerror, platform::idok }, // a box without Cancel
    };
    for (const row& r : rows) {
        setenv("MC_MESSAGEBOX_ANSWER", r.answer, 1);
        EXPECT_EQ(platform::message_box(nullptr, "text", "caption", r.style), r.expected) << r.answer;
    }
    unsetenv("MC_MESSAGEBOX_ANSWER");
}

TEST(MessageBox, NobodyToAskGivesTheDefaultButton)
{
    int status = run_in_child([] {
        unsetenv("MC_MESSAGEBOX_ANSWER");
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        int null_input = open("/dev/null", O_RDONLY);
        dup2(null_input, STDIN_FILENO);
        return platform::message_box(nullptr, "text", "caption", platform::mb_okcancel);
    });
    EXPECT_TRUE(exited_with(status, platform::idok));
}

} // namespace
