// The POSIX exception guard: the shared contract over signals and mprotect,
// then what only this backend has: SIGBUS, a stack overflow on the alternate
// stack, and the signal handlers put back when the last guard ends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>

#include "platform/platform.h"
#include "tests/modules/temp_directory.h"
#include "tests/platform/child_process.h"
#include "tests/support/guard_contract.h"

namespace guard_contract {

void* no_access_page()
{
    void* page = mmap(nullptr, size_t(sysconf(_SC_PAGESIZE)), PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return page == MAP_FAILED ? nullptr : page;
}

void make_writable(void* page) { mprotect(page, size_t(sysconf(_SC_PAGESIZE)), PROT_READ | PROT_WRITE); }

void free_page(void* page) { munmap(page, size_t(sysconf(_SC_PAGESIZE))); }

bool ended_by_the_fault(int status) { return killed_by(status, SIGSEGV); }

namespace {

// Reading a mapped page past the end of a file raises SIGBUS.
__attribute__((noinline, no_sanitize("address", "undefined"))) int past_end_of_file(void* path)
{
    int descriptor = open(static_cast<const char*>(path), O_RDWR | O_CREAT | O_TRUNC, 0600);
    void* page = mmap(nullptr, 4096, PROT_READ, MAP_SHARED, descriptor, 0);
    close(descriptor);
    return *static_cast<volatile char*>(page);
}

TEST(Guard, BusErrorIsAnInPageError)
{
    temp_directory directory;
    std::string file = directory / "empty";
    struct both {
        seen s;
        std::string* file;
    } pair { {}, &file };
    auto body = [](void* p) { return past_end_of_file(static_cast<both*>(p)->file->data()); };
    auto filter = [](uint32_t code, platform::exception_pointers* pointers, void* p) {
        return record_filter(code, pointers, &static_cast<both*>(p)->s);
    };
    EXPECT_FALSE(platform::guarded_call(body, filter, &pair, nullptr));
    EXPECT_EQ(pair.s.code, platform::exception_in_page_error);
    EXPECT_EQ(pair.s.calls, 1);
}

__attribute__((noinline)) int recurse(volatile char* previous)
{
    volatile char frame[1024];
    frame[0] = previous ? previous[0] : 1;
    if (frame[0] == 42) // never: the recursion only ends by overflowing
        return 0;
    return recurse(frame) + frame[1];
}

TEST(Guard, StackOverflowIsCaught)
{
    int status = run_in_child([] {
        seen s;
        bool finished = platform::guarded_call([](void*) { return recurse(nullptr); }, record_filter, &s, nullptr);
        return !finished && s.code == platform::exception_access_violation ? 0 : 1;
    });
    EXPECT_TRUE(exited_with(status, 0)) << status;
}

TEST(Guard, HandlersArePutBackAfterTheLastGuard)
{
    struct sigaction before { };
    sigaction(SIGSEGV, nullptr, &before);
    seen s;
    platform::guarded_call(null_write, record_filter, &s, nullptr);
    struct sigaction after { };
    sigaction(SIGSEGV, nullptr, &after);
    EXPECT_EQ(reinterpret_cast<void*>(before.sa_sigaction), reinterpret_cast<void*>(after.sa_sigaction));
}

} // namespace
} // namespace guard_contract
