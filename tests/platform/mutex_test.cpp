// The named mutex across processes: a second holder sees "already exists", a
// lock file it may not open gives "access denied", and a released lock can be
// taken again.
#include <gtest/gtest.h>

#include <fcntl.h>
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

TEST_F(MutexTest, LockFileOfAnotherUserIsAccessDenied)
{
    std::string lock = runtime / "mc-mutex-Global_IronveilMutex";
    int descriptor = open(lock.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(descriptor, 0);
    close(descriptor);
    ASSERT_EQ(chmod(lock.c_str(), 0), 0);
    ASSERT_EQ(chmod(runtime.str().c_str(), 0777), 0);
    int status = run_in_child([] {
        if (geteuid() == 0 && setuid(65534) != 0) // as root, become nobody: root may open anything
            return 2;
        platform::handle mutex = platform::create_mutex(true, "Global\\IronveilMutex");
        return mutex == nullptr && platform::last_error() == platform::error_access_denied ? 0 : 1;
    });
    EXPECT_TRUE(exited_with(status, 0));
}

} // namespace
