// The fixture of the host tests: fresh fakes for every test, WinMain run with
// the process exit turned into a return value, and call-log filters.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/kernel/Cpuid.h"
#include "host/WinFrame.h"
#include "host/crash_guard.h"
#include "platform/fake/fake_platform.h"
#include "tests/host/fakes/fake_modules.h"

class HostTest : public ::testing::Test {
protected:
    void SetUp() override { reset_everything(); }
    void TearDown() override { reset_everything(); }

    static void reset_everything()
    {
        fakes::reset();
        cpuid_detail::reset();
        SetFullDump(false);
        TakeCrashedRun(); // the record a crashed run left behind
        delete g_SdlManager;
        g_SdlManager = nullptr;
    }

    // Runs WinMain; an exit_process ends the run with its code and sets exited.
    int run(const std::string& command_line)
    {
        exited = false;
        try {
            return WinMain(instance(), nullptr, command_line.c_str(), 1);
        } catch (const platform::fake::process_exit& exit) {
            exited = true;
            return exit.code;
        }
    }

    static InstanceHandle instance()
    {
        static char tag;
        return &tag;
    }

    // The call log without processor detection's own platform calls.
    static std::vector<std::string> host_calls()
    {
        static const char* const noise[] = {
            "cpuid(",
            "query_performance",
            "read_time_stamp",
            "set_thread_affinity",
            "get_priority",
            "set_priority",
            "get_thread_prior",
            "set_thread_prior",
            "get_logical_proc",
            "command_line()",
            "get_process_aff",
            "set_process_aff",
        };
        std::vector<std::string> out;
        for (const std::string& call : platform::fake::calls()) {
            bool skip = false;
            for (const char* prefix : noise)
                skip = skip || call.rfind(prefix, 0) == 0;
            if (!skip)
                out.push_back(call);
        }
        return out;
    }

    static bool called(const std::string& entry) { return std::ranges::count(platform::fake::calls(), entry) > 0; }

    static bool called_starting_with(const std::string& prefix)
    {
        return !platform::fake::calls_starting_with({ prefix }).empty();
    }

    bool exited = false;
};
