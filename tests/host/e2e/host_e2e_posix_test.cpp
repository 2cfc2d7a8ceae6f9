// End-to-end runs of what is the POSIX platform's own: the executable's path
// length, the registry file, a full disk, resumed faults, the log and the lock
// files of the single-instance rule.
#include "host_e2e.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace e2e {
namespace {

class HostE2EPosix : public HostE2E {
protected:
    // A copy of the executable whose path has exactly length characters, beside
    // links to its modules.
    std::string executable_with_path_length(size_t length) const
    {
        const std::string exe_name = "/mirecrest";
        std::string dir = (root_ / "p").string();
        while (dir.size() + exe_name.size() < length) {
            size_t room = length - exe_name.size() - dir.size();
            if (room > 101)
                dir += "/" + std::string(100, 'd');
            else if (room >= 2)
                dir += "/" + std::string(room - 1, 'd');
            else
                dir += "d"; // one more character in the last folder's name
        }
        fsys::create_directories(dir);
        fsys::path source = fsys::path(MC_MIRECREST_PATH).parent_path();
        fsys::copy_file(MC_MIRECREST_PATH, dir + exe_name);
        for (const auto& entry : fsys::directory_iterator(source))
            if (entry.path().extension() == ".so")
                fsys::create_symlink(entry.path(), fsys::path(dir) / entry.path().filename());
        return dir + exe_name;
    }

    std::string lock_path() const { return (root_ / "runtime" / "mc-mutex-Global_IronveilMutex").string(); }
};

// The executable's own path: entry 0 of the command line holds at most 255
// characters of it, and a path that does not fit 260 bytes refuses start-up
// (its directory, which the game's paths start from, cannot be known).
TEST_F(HostE2EPosix, ExecutablePathsUpToTheLimitRunAndLongerOnesAreRefused)
{
    Outcome fits = run({ "--wd", "-frames=1", "-exitcode=3" }, Start().from(executable_with_path_length(259)));
    ASSERT_TRUE(fits.exited) << fits.output;
    EXPECT_EQ(fits.code, 3) << fits.output;

    Outcome too_long = run({ "--wd", "-frames=1", "-exitcode=3" }, Start().from(executable_with_path_length(300)));
    ASSERT_TRUE(too_long.exited) << too_long.output;
    EXPECT_EQ(too_long.code, 0) << too_long.output;
    EXPECT_TRUE(has(too_long, "The executable's path does not fit in 259 characters")) << too_long.output;
    EXPECT_FALSE(has(too_long, "first frame")) << too_long.output;
}

TEST_F(HostE2EPosix, RegistryFileThatIsNoRegularFileIsToldAndStartUpGoesOn)
{
    fsys::remove(root_ / "registry.ini");
    ASSERT_EQ(mkfifo((root_ / "registry.ini").c_str(), 0600), 0); // no writer: reading it used to hang start-up
    Outcome o = run({ "-frames=1", "-exitcode=3" });
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 3) << o.output;
    EXPECT_TRUE(has(o, "registry file '" + (root_ / "registry.ini").string() + "' is not read: it is a FIFO"))
        << o.output;
}

TEST_F(HostE2EPosix, FullDiskIsToldAndNoReportIsAnnouncedThatWasNotWritten)
{
    Outcome o = run({ "-crash" }, Start().ending_early().without_room());
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_TRUE(has(o, "cannot write the log file '" + (write_dir() / "mirecrest.log").string() + "': File too large"))
        << o.output;
    EXPECT_TRUE(has(o, "cannot write the crash report '" + write_dir().string() + "/crash-")) << o.output;
    EXPECT_FALSE(has(o, "crash report written")) << o.output;
    EXPECT_TRUE(crash_reports().empty()) << "a report that is not whole is not left behind";
}

TEST_F(HostE2EPosix, EveryResumedFaultKeepsItsOwnReport)
{
    Outcome o = run({ "-crash" }, Start().with_env("MC_DUMP_VERDICT=resume").ending_early());
    EXPECT_TRUE(o.faulted) << o.output;
    size_t announced = 0;
    for (size_t at = o.output.find("crash report written"); at != std::string::npos;
         at = o.output.find("crash report written", at + 1))
        ++announced;
    EXPECT_GE(announced, 16u) << o.output; // the guard resumes 16 faults before the default course
    EXPECT_EQ(crash_reports().size(), announced) << o.output;
}

TEST_F(HostE2EPosix, InstanceLetInByAmiKeepsAWholeLogOfItsOwn)
{
    ASSERT_TRUE(machine_->hold_instance_lock());
    std::string first_log = (write_dir() / "mirecrest.log").string();
    std::ofstream(first_log) << "the running instance's record\n";
    int held = open(first_log.c_str(), O_WRONLY | O_CLOEXEC); // the running instance holds its log
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    Outcome o = run({ "-ami", "-frames=1", "-exitcode=3" });
    close(held);
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 3) << o.output;
    std::string second_log = (write_dir() / "mirecrest-2.log").string();
    EXPECT_TRUE(has(o, "this instance logs to '" + second_log + "'")) << o.output;
    std::ifstream first(first_log);
    std::string line;
    std::getline(first, line);
    EXPECT_EQ(line, "the running instance's record");
    EXPECT_FALSE(std::getline(first, line)) << "the running instance's log was written to";
    std::ifstream second(second_log);
    std::string text((std::istreambuf_iterator<char>(second)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("quitting after 1 frames"), std::string::npos) << text;
    EXPECT_NE(text.find("filesystem shut down"), std::string::npos) << text;
}

TEST_F(HostE2EPosix, OnlyAHeldLockMeansARunningInstance)
{
    // A lock file left by another user's instance that has ended: as root it is
    // nobody's, as any other user one it may not open.
    std::string lock = lock_path();
    std::ofstream(lock).close();
    ASSERT_EQ(chmod(lock.c_str(), 0), 0);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(lock.c_str(), 65534, 65534), 0);
    }
    Outcome stale = run({ "-frames=1", "-exitcode=3" });
    ASSERT_TRUE(stale.exited) << stale.output;
    EXPECT_EQ(stale.code, 3) << stale.output;

    // A link planted at the lock path is not followed: its target is not made.
    fsys::remove(lock);
    fsys::create_symlink(root_ / "planted", lock);
    Outcome planted = run({ "-frames=1", "-exitcode=3" });
    ASSERT_TRUE(planted.exited) << planted.output;
    EXPECT_EQ(planted.code, 3) << planted.output;
    EXPECT_TRUE(has(planted, "the instance lock '" + lock + "' cannot be taken: it is a symbolic link"))
        << planted.output;
    EXPECT_FALSE(fsys::exists(root_ / "planted"));
}

} // namespace
} // namespace e2e
