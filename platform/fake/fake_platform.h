// Control surface of the scriptable test platform: the answers each platform
// call gives, the in-order log of every call made, and the simulated faults that
// drive the structured-exception guard.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace platform {

// What the fake hands to an exception filter.
struct exception_pointers {
    uint32_t code;
    void* address;
};

namespace fake {

// Thrown by exit_process: the test sees the code the process would end with.
struct process_exit {
    int code;
};
// Thrown by raise_fault when no guard's filter asked to handle or resume it.
struct unhandled_fault {
    uint32_t code;
};

// Every answer the fake gives; reset() restores these defaults.
struct answers {
    // module and paths
    std::string module_file_name = "C:\\Games\\MireCrest\\bin\\mirecrest.exe";
    bool instance_name_known = true; // false: module_file_name(instance) gives 0
    bool libraries_load = true;
    std::optional<std::string> current_directory = "C:\\Work";
    char separator = '\\';

    // registry: values by name; a missing name is a missing value
    bool registry_key_exists = true;
    std::map<std::string, std::string> registry;

    // named mutex
    bool mutex_handle = true;
    uint32_t mutex_error = error_success;

    // message boxes: answered in order, then idok
    std::deque<int> message_box_answers;
    std::map<int, int> system_metrics
        = { { sm_cxicon, 32 }, { sm_cyicon, 32 }, { sm_cxsmicon, 16 }, { sm_cysmicon, 16 } };
    bool icons_exist = true;

    // messages peeked in order; post_quit_message queues a WM_QUIT
    std::deque<message> messages;

    // disk
    std::optional<uint64_t> disk_free_bytes = uint64_t(10) << 30;
    bool create_directory_result = true;

    // shell folder road
    std::optional<os_version> version = os_version { 156, 10, 0, 19045 };
    bool shfolder_loads = true;
    bool shell32_loaded = true;
    bool folder_function_exists = true;
    long folder_result = 0;
    std::string folder_path = "C:\\Users\\Player\\Documents";

    // processor
    std::map<std::pair<uint32_t, uint32_t>, cpuid_registers> cpuid;
    int64_t counter_frequency = 10'000'000;
    std::deque<int64_t> counters; // then each read adds counter_step to the last value
    int64_t counter_step = 1000;
    std::deque<uint64_t> time_stamps; // then each read adds time_stamp_step
    uint64_t time_stamp_step = 100'000;
    uint64_t thread_affinity = 0xff;
    uint32_t priority_class = 0x20; // NORMAL_PRIORITY_CLASS
    int thread_priority = 0;
    uint64_t process_affinity = 0xff;
    uint64_t system_affinity = 0xff;
    bool processor_information_usable = true; // first call fails with insufficient buffer
    bool processor_information_second_ok = true; // second call succeeds
    std::vector<logical_processor_information> processors;

    // process
    std::string command_line = "mirecrest.exe";
};

// Restores every default and empties the call log.
void reset();
answers& set();
// The call log, one entry per call in order ("create_mutex(Global\\IronveilMutex)").
const std::vector<std::string>& calls();
// Adds an entry: the test doubles of the game modules log into the same list.
void record(std::string entry);
// Entries of calls() that start with one of the prefixes, in order.
std::vector<std::string> calls_starting_with(const std::vector<std::string>& prefixes);

// Simulates a fault at this point: the innermost active guard's filter decides
// (1 unwind to that guard, -1 resume here, 0 ask the next guard out; no guard
// left: unhandled_fault is thrown).
void raise_fault(uint32_t code);
// Number of guarded_call bodies currently running.
int active_guards();

// Logical processor records for tests: relationship 0 core, 3 package.
logical_processor_information processor_record(int32_t relationship, uint64_t mask);

} // namespace fake
} // namespace platform
