// End-to-end runs of what is the POSIX platform's own: the executable's path
// length and resumed faults. The registry file, the lock files and the logs of
// a full disk or a second instance are the platform's and modules' own tests.
#include "host_e2e.h"

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

} // namespace
} // namespace e2e
