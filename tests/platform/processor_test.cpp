// Processor records from a made-up sysfs tree and from this machine, affinity
// masks for the thread and the whole process, and free disk space.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/topology_posix.h"
#include "tests/modules/temp_directory.h"
#include "tests/platform/child_process.h"

namespace {

void add_cpu(const temp_directory& root, int cpu, int package, int core, const char* online)
{
    std::string base = root / ("cpu" + std::to_string(cpu));
    std::filesystem::create_directories(base + "/topology");
    write_text(base + "/topology/physical_package_id", std::to_string(package) + "\n");
    write_text(base + "/topology/core_id", std::to_string(core) + "\n");
    if (online)
        write_text(base + "/online", online);
}

TEST(Topology, CoresAndPackagesFromSysfs)
{
    temp_directory root;
    // Two packages with two cores of two threads; core ids repeat per package.
    int layout[][3]
        = { { 0, 0, 0 }, { 1, 0, 1 }, { 2, 1, 0 }, { 3, 1, 1 }, { 4, 0, 0 }, { 5, 0, 1 }, { 6, 1, 0 }, { 7, 1, 1 } };
    for (auto& cpu : layout)
        add_cpu(root, cpu[0], cpu[1], cpu[2], cpu[0] == 0 ? nullptr : "1\n");
    add_cpu(root, 8, 0, 0, "0\n"); // offline: left out
    platform::logical_processor_information records[platform::posix::max_records];
    uint32_t count = platform::posix::read_topology(root.str().c_str(), records, platform::posix::max_records);
    ASSERT_EQ(count, 6u);
    uint64_t expected_cores[] = { 0x11, 0x22, 0x44, 0x88 };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(records[i].relationship, 0);
        EXPECT_EQ(records[i].processor_mask, expected_cores[i]) << i;
    }
    EXPECT_EQ(records[4].relationship, 3);
    EXPECT_EQ(records[4].processor_mask, 0x33u);
    EXPECT_EQ(records[5].relationship, 3);
    EXPECT_EQ(records[5].processor_mask, 0xCCu);
    EXPECT_EQ(platform::posix::read_topology(root.str().c_str(), records, 3), 3u); // cut at the capacity
    EXPECT_EQ(platform::posix::read_topology((root / "missing").c_str(), records, 8), 0u);
}

TEST(Topology, ThisMachineIsDescribedOnce)
{
    uint32_t length = 0;
    EXPECT_FALSE(platform::get_logical_processor_information(nullptr, &length));
    EXPECT_EQ(platform::last_error(), platform::error_insufficient_buffer);
    ASSERT_GT(length, 0u);
    ASSERT_EQ(length % 32, 0u);
    std::vector<platform::logical_processor_information> records(length / 32);
    uint32_t small = length - 32;
    EXPECT_FALSE(platform::get_logical_processor_information(records.data(), &small));
    EXPECT_EQ(small, length);
    ASSERT_TRUE(platform::get_logical_processor_information(records.data(), &length));
    uint64_t in_cores = 0;
    uint64_t in_packages = 0;
    for (const auto& record : records) {
        uint64_t& seen = record.relationship == 0 ? in_cores : in_packages;
        EXPECT_EQ(seen & record.processor_mask, 0u); // each logical processor in one record of each kind
        seen |= record.processor_mask;
    }
    EXPECT_EQ(in_cores, in_packages);
    long online = sysconf(_SC_NPROCESSORS_ONLN);
    if (online < 64) {
        EXPECT_EQ(__builtin_popcountll(in_cores), online);
    }
}

TEST(Affinity, ThreadMaskReturnsThePreviousOne)
{
    int status = run_in_child([] {
        uint64_t process = 0;
        uint64_t system = 0;
        if (!platform::get_process_affinity_mask(platform::current_process(), &process, &system) || !process)
            return 1;
        uint64_t first = process & (~process + 1); // lowest allowed processor
        if (platform::set_thread_affinity_mask(platform::current_thread(), first) != process)
            return 2;
        if (platform::set_thread_affinity_mask(platform::current_thread(), process) != first)
            return 3;
        return platform::set_thread_affinity_mask(platform::current_thread(), 0) == 0 ? 0 : 4;
    });
    EXPECT_TRUE(exited_with(status, 0)) << status;
}

TEST(Affinity, ProcessMaskReachesEveryThread)
{
    int status = run_in_child([] {
        std::atomic<bool> stop { false };
        std::atomic<long> worker_id { 0 };
        std::thread worker([&] {
            worker_id = syscall(SYS_gettid);
            while (!stop)
                std::this_thread::yield();
        });
        while (worker_id == 0)
            std::this_thread::yield();
        uint64_t process = 0;
        uint64_t system = 0;
        platform::get_process_affinity_mask(platform::current_process(), &process, &system);
        uint64_t first = process & (~process + 1);
        bool set = platform::set_process_affinity_mask(platform::current_process(), first);
        cpu_set_t mask;
        bool worker_pinned = sched_getaffinity(pid_t(worker_id.load()), sizeof(mask), &mask) == 0
            && CPU_COUNT(&mask) == 1 && CPU_ISSET(__builtin_ctzll(first), &mask);
        stop = true;
        worker.join();
        return set && worker_pinned ? 0 : 1;
    });
    EXPECT_TRUE(exited_with(status, 0)) << status;
}

TEST(Disk, FreeSpaceOfAnExistingDirectoryOnly)
{
    temp_directory directory;
    uint64_t available = 0;
    EXPECT_TRUE(platform::disk_free_space(directory.str().c_str(), &available));
    EXPECT_GT(available, 0u);
    EXPECT_FALSE(platform::disk_free_space((directory / "missing").c_str(), &available));
    EXPECT_TRUE(platform::create_directory((directory / "made").c_str()));
    EXPECT_FALSE(platform::create_directory((directory / "made").c_str())); // exists
    EXPECT_FALSE(platform::create_directory((directory / "no/parent").c_str()));
}

} // namespace
