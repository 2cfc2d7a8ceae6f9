// The Win32 exception guard: each fault's code and address, the three verdicts
// (the default course in death-test children, which end with the exception
// code), nested guards, and exceptions handled inside the body.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/platform.h"
#include "platform/win32/windows_api.h"
#include "tests/support/guard_faults.h"

namespace {

using namespace guard_faults;

TEST(Win32Guard, BodyThatReturnsGivesItsResult)
{
    int result = 0;
    seen s;
    EXPECT_TRUE(platform::guarded_call([](void*) { return 42; }, record_filter, &s, &result));
    EXPECT_EQ(result, 42);
    EXPECT_EQ(s.calls, 0);
}

TEST(Win32Guard, EachFaultHasItsCodeAndAddress)
{
    struct row {
        platform::guard_body body;
        uint32_t code;
    } rows[] = {
        { null_write, platform::exception_access_violation },
        { divide_by_zero, platform::exception_int_divide_by_zero },
        { illegal_instruction, platform::exception_illegal_instruction },
    };
    for (const row& r : rows) {
        seen s;
        int result = -7;
        EXPECT_FALSE(platform::guarded_call(r.body, record_filter, &s, &result));
        EXPECT_EQ(s.code, r.code) << std::hex << r.code;
        EXPECT_EQ(s.calls, 1);
        auto start = reinterpret_cast<uintptr_t>(r.body);
        auto at = reinterpret_cast<uintptr_t>(s.address);
        EXPECT_GE(at, start);
        EXPECT_LT(at, start + 256);
        EXPECT_EQ(result, -7); // the body never finished
    }
}

// Resuming: the filter makes the page writable, and the write then succeeds.
int write_page(void* page)
{
    static_cast<volatile char*>(page)[10] = 'x';
    return static_cast<volatile char*>(page)[10];
}

int unprotect_and_resume(uint32_t, platform::exception_pointers*, void* page)
{
    DWORD previous = 0;
    VirtualProtect(page, 1, PAGE_READWRITE, &previous);
    return -1;
}

TEST(Win32Guard, ResumeContinuesAtTheFault)
{
    void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(page, nullptr);
    int result = 0;
    EXPECT_TRUE(platform::guarded_call(write_page, unprotect_and_resume, page, &result));
    EXPECT_EQ(result, 'x');
    VirtualFree(page, 0, MEM_RELEASE);
}

// A C++ exception thrown and caught inside the body never reaches the filter.
TEST(Win32Guard, ExceptionsHandledInsideTheBodyStayThere)
{
    seen s;
    int result = 0;
    auto body = [](void*) {
        try {
            throw 5;
        } catch (int value) {
            return value;
        }
    };
    EXPECT_TRUE(platform::guarded_call(body, record_filter, &s, &result));
    EXPECT_EQ(result, 5);
    EXPECT_EQ(s.calls, 0);
}

// Inner guard searches on, outer one handles: the outer call returns false and
// a new guard afterwards still works.
TEST(Win32Guard, OuterGuardHandlesWhatTheInnerOnePasses)
{
    seen inner;
    inner.verdict = 0;
    seen outer;
    struct both {
        seen* inner;
        seen* outer;
    } pair { &inner, &outer };
    auto body = [](void* p) {
        platform::guarded_call(null_write, record_filter, static_cast<both*>(p)->inner, nullptr);
        return 1;
    };
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

void guard_with_verdict(int verdict)
{
    seen s;
    s.verdict = verdict;
    platform::guarded_call(null_write, record_filter, &s, nullptr);
}

using Win32GuardDeathTest = ::testing::Test;

TEST_F(Win32GuardDeathTest, ContinueSearchEndsTheProcessWithTheExceptionCode)
{
    EXPECT_EXIT(guard_with_verdict(0), ::testing::ExitedWithCode(int(platform::exception_access_violation)), "");
}

TEST_F(Win32GuardDeathTest, ResumeThatCuresNothingEndsTheProcessWithTheExceptionCode)
{
    EXPECT_EXIT(guard_with_verdict(-1), ::testing::ExitedWithCode(int(platform::exception_access_violation)), "");
}

} // namespace
