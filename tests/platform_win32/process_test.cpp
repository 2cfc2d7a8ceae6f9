// The Win32 process services: paths, the shell-folder road, modules, the
// message queue, processor, priorities, affinity and topology, the command
// line, ExitProcess, stack traces and minidumps.
#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace {

std::string executable_path()
{
    char path[platform::max_path] = {};
    EXPECT_GT(platform::module_file_name(nullptr, path, sizeof(path)), 0u);
    return path;
}

TEST(Win32Paths, ModuleNameSplitAndCurrentDirectory)
{
    std::string exe = executable_path();
    EXPECT_EQ(std::filesystem::path(exe).filename().string(), "platform_win32_tests.exe");
    char tiny[8];
    EXPECT_EQ(platform::module_file_name(nullptr, tiny, sizeof(tiny)), 8u); // cut, as GetModuleFileNameA does
    EXPECT_EQ(std::string(tiny), exe.substr(0, 7));

    char drive[platform::max_path], directory[platform::max_path], name[platform::max_path],
        extension[platform::max_path];
    platform::split_path("C:\\Games\\Mire Crest\\bin\\mirecrest.exe", drive, directory, name, extension);
    EXPECT_STREQ(drive, "C:");
    EXPECT_STREQ(directory, "\\Games\\Mire Crest\\bin\\");
    EXPECT_STREQ(name, "mirecrest");
    EXPECT_STREQ(extension, ".exe");
    platform::split_path("D:/x/y.txt", drive, directory, nullptr, nullptr);
    EXPECT_STREQ(directory, "/x/");
    std::string too_long = "C:\\" + std::string(platform::max_path, 'a');
    platform::split_path(too_long.c_str(), drive, directory, nullptr, nullptr);
    EXPECT_STREQ(drive, "");
    EXPECT_STREQ(directory, "");

    char current[platform::max_path];
    uint32_t length = platform::current_directory(sizeof(current), current);
    EXPECT_EQ(std::string(current, length), std::filesystem::current_path().string());
    EXPECT_EQ(platform::current_directory(2, current), 0u);
    EXPECT_EQ(platform::path_separator(), '\\');
}

// shell32 is loaded with the platform layer, so the host finds its folder
// function without loading anything; SHFolder.dll loads on request.
TEST(Win32ShellFolder, VersionAndFolderFunction)
{
    platform::os_version version;
    EXPECT_TRUE(platform::get_version(&version));
    EXPECT_GE(version.major, 5u);
    platform::os_version odd;
    odd.size = 100;
    EXPECT_FALSE(platform::get_version(&odd));

    platform::handle shell = platform::module_handle("shell32.dll");
    ASSERT_NE(shell, nullptr);
    auto folder_path
        = reinterpret_cast<platform::folder_path_function>(platform::proc_address(shell, "SHGetFolderPathA"));
    ASSERT_NE(folder_path, nullptr);
    char folder[platform::max_path] = {};
    EXPECT_GE(folder_path(nullptr, platform::csidl_personal, nullptr, 0, folder), 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;

    platform::handle shfolder = platform::load_library_in_activation_context("SHFolder.dll");
    ASSERT_NE(shfolder, nullptr);
    EXPECT_NE(platform::proc_address(shfolder, "SHGetFolderPathA"), nullptr);
    EXPECT_EQ(platform::load_library_in_activation_context("no-such-module.dll"), nullptr);
    EXPECT_EQ(platform::last_error(), 126u); // ERROR_MOD_NOT_FOUND, kept across the context switch
}

TEST(Win32Queue, QuitAndThreadMessages)
{
    platform::message msg {};
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP + 1, 5, -6));
    ASSERT_TRUE(platform::peek_message(&msg, nullptr, 0, 0, platform::pm_remove));
    EXPECT_EQ(msg.id, uint32_t(WM_APP + 1));
    EXPECT_EQ(msg.wparam, 5u);
    EXPECT_EQ(msg.lparam, -6);
    EXPECT_FALSE(platform::translate_message(&msg)); // not a key message
    EXPECT_EQ(platform::dispatch_message(&msg), 0); // no window to dispatch to

    platform::post_quit_message(7);
    ASSERT_TRUE(platform::peek_message(&msg, nullptr, 0, 0, platform::pm_remove));
    EXPECT_EQ(msg.id, platform::wm_quit);
    EXPECT_EQ(msg.wparam, 7u);
    platform::post_quit_message(-1);
    ASSERT_TRUE(platform::peek_message(&msg, nullptr, WM_APP, WM_APP + 10, platform::pm_remove)); // any filter
    EXPECT_EQ(msg.id, platform::wm_quit);
    EXPECT_EQ(int(msg.wparam), -1);
    EXPECT_FALSE(platform::peek_message(&msg, nullptr, 0, 0, platform::pm_remove)); // taken once
}

TEST(Win32Processor, CountersCpuidAndPriorities)
{
    platform::cpuid_registers leaf0 = platform::cpuid(0, 0);
    EXPECT_GT(leaf0.eax, 0u);
    int64_t frequency = 0, first = 0, second = 0;
    EXPECT_TRUE(platform::query_performance_frequency(&frequency));
    EXPECT_GT(frequency, 0);
    EXPECT_TRUE(platform::query_performance_counter(&first));
    uint64_t tsc = platform::read_time_stamp_counter();
    EXPECT_TRUE(platform::query_performance_counter(&second));
    EXPECT_GE(second, first);
    EXPECT_GT(platform::read_time_stamp_counter(), tsc);

    platform::handle process = platform::current_process();
    platform::handle thread = platform::current_thread();
    uint32_t priority_class = platform::get_priority_class(process);
    constexpr uint32_t below_normal = 0x4000;
    EXPECT_TRUE(platform::set_priority_class(process, below_normal));
    EXPECT_EQ(platform::get_priority_class(process), below_normal);
    EXPECT_TRUE(platform::set_priority_class(process, priority_class));
    int priority = platform::get_thread_priority(thread);
    EXPECT_TRUE(platform::set_thread_priority(thread, 1));
    EXPECT_EQ(platform::get_thread_priority(thread), 1);
    EXPECT_TRUE(platform::set_thread_priority(thread, priority));
}

TEST(Win32Processor, AffinityAndTopology)
{
    platform::handle process = platform::current_process();
    uint64_t process_mask = 0, system_mask = 0;
    ASSERT_TRUE(platform::get_process_affinity_mask(process, &process_mask, &system_mask));
    EXPECT_NE(process_mask, 0u);
    EXPECT_EQ(process_mask & ~system_mask, 0u);

    uint64_t previous = platform::set_thread_affinity_mask(platform::current_thread(), 1);
    EXPECT_NE(previous, 0u);
    EXPECT_EQ(platform::set_thread_affinity_mask(platform::current_thread(), previous), 1u);
    EXPECT_TRUE(platform::set_process_affinity_mask(process, 1));
    uint64_t pinned = 0;
    platform::get_process_affinity_mask(process, &pinned, &system_mask);
    EXPECT_EQ(pinned, 1u);
    EXPECT_TRUE(platform::set_process_affinity_mask(process, process_mask));

    uint32_t length = 0;
    EXPECT_FALSE(platform::get_logical_processor_information(nullptr, &length));
    EXPECT_EQ(platform::last_error(), platform::error_insufficient_buffer);
    ASSERT_GT(length, 0u);
    ASSERT_EQ(length % sizeof(platform::logical_processor_information), 0u);
    std::vector<platform::logical_processor_information> records(
        length / sizeof(platform::logical_processor_information));
    ASSERT_TRUE(platform::get_logical_processor_information(records.data(), &length));
    int logical = 0;
    for (const auto& record : records)
        if (record.relationship == 0)
            logical += std::popcount(record.processor_mask);
    EXPECT_EQ(logical, std::popcount(system_mask)); // every processor belongs to one core
}

TEST(Win32Process, CommandLineHoldsTheProgram)
{
    EXPECT_NE(std::strstr(platform::command_line(), "platform_win32_tests"), nullptr) << platform::command_line();
}

using Win32ProcessDeathTest = ::testing::Test;

TEST_F(Win32ProcessDeathTest, ExitProcessEndsWithTheCodeAndFlushesOutput)
{
    EXPECT_EXIT(
        {
            std::fputs("written before the end", stderr);
            platform::exit_process(3);
        },
        ::testing::ExitedWithCode(3), "written before the end");
}

TEST(Win32Diagnostics, StackTraceNamesTheModules)
{
    void* frames[8] = {};
    uint32_t count = platform::stack_trace(frames, 8);
    ASSERT_GE(count, 2u);
    int in_test = -1;
    for (uint32_t i = 0; i < count && in_test < 0; ++i) {
        char text[128];
        if (platform::describe_address(frames[i], text, sizeof(text))
            && std::string(text).rfind("platform_win32_tests.exe(+0x", 0) == 0)
            in_test = int(i);
    }
    ASSERT_GE(in_test, 0);
    char tiny[8];
    EXPECT_TRUE(platform::describe_address(frames[in_test], tiny, sizeof(tiny)));
    EXPECT_EQ(std::strlen(tiny), 7u); // cut to fit
    EXPECT_FALSE(platform::describe_address(nullptr, tiny, sizeof(tiny)));
}

TEST(Win32Diagnostics, MinidumpWithoutAFault)
{
    std::filesystem::path path
        = std::filesystem::temp_directory_path() / ("mc-" + std::to_string(GetCurrentProcessId()) + ".dmp");
    ASSERT_TRUE(platform::write_minidump(path.string().c_str(), nullptr, false));
    std::ifstream in(path, std::ios::binary);
    char signature[4] = {};
    in.read(signature, 4);
    EXPECT_EQ(std::string(signature, 4), "MDMP");
    in.close();
    std::filesystem::remove(path);
    EXPECT_FALSE(platform::write_minidump("Q:\\no\\such\\folder\\x.dmp", nullptr, false));
    EXPECT_FALSE(std::filesystem::exists("Q:\\no\\such\\folder\\x.dmp"));
}

} // namespace
