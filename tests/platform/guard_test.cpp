// The exception guard: each signal's exception code, the three verdicts (the
// default course in forked children), nested guards, a stack overflow, and the
// signal handlers put back when the last guard ends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "platform/platform.h"
#include "tests/modules/temp_directory.h"
#include "tests/platform/child_process.h"
#include "tests/support/guard_faults.h"

namespace {

using namespace guard_faults;

// Reading a mapped page past the end of a file raises SIGBUS.
__attribute__((noinline, no_sanitize("address", "undefined"))) int past_end_of_file(void* path)
{
    int descriptor = open(static_cast<const char*>(path), O_RDWR | O_CREAT | O_TRUNC, 0600);
    void* page = mmap(nullptr, 4096, PROT_READ, MAP_SHARED, descriptor, 0);
    close(descriptor);
    return *static_cast<volatile char*>(page);
}

TEST(Guard, BodyThatReturnsGivesItsResult)
{
    int result = 0;
    seen s;
    EXPECT_TRUE(platform::guarded_call([](void*) { return 42; }, record_filter, &s, &result));
    EXPECT_EQ(result, 42);
    EXPECT_EQ(s.calls, 0);
}

TEST(Guard, EachSignalHasItsExceptionCode)
{
    temp_directory directory;
    std::string file = directory / "empty";
    struct row {
        platform::guard_body body;
        void* argument;
        uint32_t code;
    } rows[] = {
        { null_write, nullptr, platform::exception_access_violation },
        { divide_by_zero, nullptr, platform::exception_int_divide_by_zero },
        { illegal_instruction, nullptr, platform::exception_illegal_instruction },
        { past_end_of_file, file.data(), platform::exception_in_page_error },
    };
    for (const row& r : rows) {
        seen s;
        int result = -7;
        // The filter gets the argument given to the guard, so the body's own argument rides in s.
        struct both {
            seen* s;
            const row* r;
        } pair { &s, &r };
        auto body = [](void* p) { return static_cast<both*>(p)->r->body(static_cast<both*>(p)->r->argument); };
        auto filter = [](uint32_t code, platform::exception_pointers* pointers, void* p) {
            return record_filter(code, pointers, static_cast<both*>(p)->s);
        };
        EXPECT_FALSE(platform::guarded_call(body, filter, &pair, &result));
        EXPECT_EQ(s.code, r.code) << std::hex << r.code;
        EXPECT_EQ(s.calls, 1);
        EXPECT_NE(s.address, nullptr);
        EXPECT_EQ(result, -7); // the body never finished
    }
}

TEST(Guard, AddressIsTheFaultingInstruction)
{
    seen s;
    EXPECT_FALSE(platform::guarded_call(null_write, record_filter, &s, nullptr));
    auto start = reinterpret_cast<uintptr_t>(&null_write);
    auto at = reinterpret_cast<uintptr_t>(s.address);
    EXPECT_GE(at, start);
    EXPECT_LT(at, start + 256);
}

// Resuming: the filter makes the page writable, and the write then succeeds.
struct protected_page {
    char* page;
    long size;
};

int write_page(void* argument)
{
    auto* p = static_cast<protected_page*>(argument);
    p->page[10] = 'x';
    return p->page[10];
}

int unprotect_and_resume(uint32_t, platform::exception_pointers*, void* argument)
{
    auto* p = static_cast<protected_page*>(argument);
    mprotect(p->page, size_t(p->size), PROT_READ | PROT_WRITE);
    return -1;
}

TEST(Guard, ResumeContinuesAtTheFault)
{
    long size = sysconf(_SC_PAGESIZE);
    void* memory = mmap(nullptr, size_t(size), PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
    protected_page p { static_cast<char*>(memory), size };
    int result = 0;
    EXPECT_TRUE(platform::guarded_call(write_page, unprotect_and_resume, &p, &result));
    EXPECT_EQ(result, 'x');
    munmap(memory, size_t(size));
}

TEST(Guard, ContinueSearchLetsTheProcessDieBySignal)
{
    int status = run_in_child([] {
        seen s;
        s.verdict = 0;
        platform::guarded_call(null_write, record_filter, &s, nullptr);
        return 0; // not reached: the fault takes its default course
    });
    EXPECT_TRUE(killed_by(status, SIGSEGV)) << status;
}

TEST(Guard, ResumeThatCuresNothingEndsByTheDefaultCourse)
{
    int status = run_in_child([] {
        seen s;
        s.verdict = -1;
        platform::guarded_call(null_write, record_filter, &s, nullptr);
        return 0;
    });
    EXPECT_TRUE(killed_by(status, SIGSEGV)) << status;
}

// Inner guard searches on, outer one handles: the outer call returns false and
// a new guard afterwards still works.
int inner_guard(void* argument)
{
    seen* inner = static_cast<seen*>(argument);
    platform::guarded_call(null_write, record_filter, inner, nullptr);
    return 1;
}

TEST(Guard, OuterGuardHandlesWhatTheInnerOnePasses)
{
    seen inner;
    inner.verdict = 0;
    seen outer;
    struct both {
        seen* inner;
        seen* outer;
    } pair { &inner, &outer };
    auto body = [](void* p) { return inner_guard(static_cast<both*>(p)->inner); };
    auto filter = [](uint32_t code, platform::exception_pointers* pointers, void* p) {
        return record_filter(code, pointers, static_cast<both*>(p)->outer);
    };
    EXPECT_FALSE(platform::guarded_call(body, filter, &pair, nullptr));
    EXPECT_EQ(inner.calls, 1);
    EXPECT_EQ(outer.calls, 1);
    seen again;
    EXPECT_FALSE(platform::guarded_call(null_write, record_filter, &again, nullptr));
    EXPECT_EQ(again.calls, 1);
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
