// The named mutex across processes: a second holder sees "already exists", a
// released lock can be taken again, and only a held lock counts: another
// user's lock file while it is locked ("access denied"), never the file alone,
// and a link at the lock path is never followed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "tests/modules/temp_directory.h"
#include "tests/platform/child_process.h"

namespace {

class MutexTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_RUNTIME_DIR", runtime.str().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }
    temp_directory runtime;
};

TEST_F(MutexTest, SecondHolderSeesAlreadyExists)
{
    int to_parent[2];
    int to_child[2];
    ASSERT_EQ(pipe(to_parent), 0);
    ASSERT_EQ(pipe(to_child), 0);
    pid_t child = fork();
    if (child == 0) {
        bool created = platform::create_mutex(true, "Global\\IronveilMutex") != nullptr;
        char state = created && platform::last_error() == platform::error_success ? 'y' : 'n';
        (void)!write(to_parent[1], &state, 1);
        (void)!read(to_child[0], &state, 1); // hold the lock until the parent has looked
        _exit(0);
    }
    char state = 0;
    ASSERT_EQ(read(to_parent[0], &state, 1), 1);
    EXPECT_EQ(state, 'y');
    EXPECT_NE(platform::create_mutex(true, "Global\\IronveilMutex"), nullptr);
    EXPECT_EQ(platform::last_error(), platform::error_already_exists);
    (void)!write(to_child[1], &state, 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(exited_with(status, 0));
    // The holder is gone: its lock went with it.
    EXPECT_TRUE(exited_with(run_in_child([] {
        return platform::create_mutex(true, "Global\\IronveilMutex")
                && platform::last_error() == platform::error_success
            ? 0
            : 1;
    }),
        0));
}

// As root, the child becomes nobody (root may open anything) and the lock file
// is nobody's no longer; as any other user, a file without permissions is as
// closed to it as another user's. 0: the child's create_mutex gave what it expected.
int other_users_view(uint32_t expected_error)
{
    return run_in_child([expected_error] {
        if (geteuid() == 0 && setuid(65534) != 0)
            return 2;
        platform::handle mutex = platform::create_mutex(true, "Global\\IronveilMutex");
        return mutex == nullptr && platform::last_error() == expected_error ? 0 : 1;
    });
}

TEST_F(MutexTest, AnotherUsersLockFileCountsOnlyWhileLocked)
{
    std::string lock = runtime / "mc-mutex-Global_IronveilMutex";
    int descriptor = open(lock.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(chmod(lock.c_str(), 0), 0);
    ASSERT_EQ(chmod(runtime.str().c_str(), 0777), 0);
    constexpr uint32_t general_failure = 31; // neither of the two errors that mean "running"
    EXPECT_TRUE(exited_with(other_users_view(general_failure), 0)) << "a left-over file is no running instance";
    ASSERT_EQ(flock(descriptor, LOCK_EX | LOCK_NB), 0); // now an instance holds it
    EXPECT_TRUE(exited_with(other_users_view(platform::error_access_denied), 0));
    close(descriptor);
}

TEST_F(MutexTest, LockFileIsMadeOpenToEveryUser)
{
    mode_t saved = umask(077);
    int status = run_in_child([] { return platform::create_mutex(true, "Global\\IronveilMutex") ? 0 : 1; });
    umask(saved);
    ASSERT_TRUE(exited_with(status, 0));
    struct stat file { };
    ASSERT_EQ(stat((runtime / "mc-mutex-Global_IronveilMutex").c_str(), &file), 0);
    EXPECT_EQ(file.st_mode & 0777, 0644u); // others can open it to lock it, and so see a running instance
}

TEST_F(MutexTest, LinkAtTheLockPathIsNeverFollowed)
{
    std::string target = runtime / "planted-target";
    ASSERT_EQ(symlink(target.c_str(), (runtime / "mc-mutex-Global_IronveilMutex").c_str()), 0);
    EXPECT_EQ(platform::create_mutex(true, "Global\\IronveilMutex"), nullptr);
    EXPECT_NE(platform::last_error(), platform::error_already_exists);
    EXPECT_NE(platform::last_error(), platform::error_access_denied); // so start-up goes on
    EXPECT_FALSE(std::filesystem::exists(target)) << "the link was followed and its target created";
}

} // namespace
