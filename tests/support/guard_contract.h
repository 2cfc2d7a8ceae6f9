// The exception guard's contract, compiled once per backend: a body's result,
// each fault's code and address, the three verdicts, nested guards and C++
// exceptions kept inside the body. The backend's test file defines the hooks
// below before it includes this file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/platform.h"

namespace guard_contract {

// A fresh page that faults when written, made writable by make_writable.
void* no_access_page();
void make_writable(void* page);
void free_page(void* page);
// The death test's verdict on a process that a guarded access violation ended
// by its default course (the verdict said keep searching, or resume cured nothing).
bool ended_by_the_fault(int status);

// Faults the compiler cannot remove; the sanitizers are kept out of them so the
// fault itself reaches the guard.
__attribute__((noinline, no_sanitize("address", "undefined"))) inline int null_write(void*)
{
    volatile int* volatile target = nullptr;
    *target = 1;
    return 0;
}

__attribute__((noinline, no_sanitize("address", "undefined"))) inline int divide_by_zero(void*)
{
    volatile int zero = 0;
    return 10 / zero;
}

__attribute__((noinline)) inline int illegal_instruction(void*) { __builtin_trap(); }

// What the filter saw, and the verdict it gives.
struct seen {
    uint32_t code = 0;
    void* address = nullptr;
    int calls = 0;
    int verdict = 1;
};

inline int record_filter(uint32_t code, platform::exception_pointers* pointers, void* argument)
{
    seen* s = static_cast<seen*>(argument);
    s->code = code;
    s->address = platform::exception_address(pointers);
    EXPECT_EQ(platform::exception_code(pointers), code);
    ++s->calls;
    return s->verdict;
}

TEST(Guard, BodyThatReturnsGivesItsResult)
{
    int result = 0;
    seen s;
    EXPECT_TRUE(platform::guarded_call([](void*) { return 42; }, record_filter, &s, &result));
    EXPECT_EQ(result, 42);
    EXPECT_EQ(s.calls, 0);
}

TEST(Guard, EachFaultHasItsCodeAndAddress)
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
inline int write_page(void* page)
{
    static_cast<volatile char*>(page)[10] = 'x';
    return static_cast<volatile char*>(page)[10];
}

TEST(Guard, ResumeContinuesAtTheFault)
{
    void* page = no_access_page();
    ASSERT_NE(page, nullptr);
    auto unprotect_and_resume = [](uint32_t, platform::exception_pointers*, void* p) {
        make_writable(p);
        return -1;
    };
    int result = 0;
    EXPECT_TRUE(platform::guarded_call(write_page, unprotect_and_resume, page, &result));
    EXPECT_EQ(result, 'x');
    free_page(page);
}

// A C++ exception thrown and caught inside the body never reaches the filter.
TEST(Guard, ExceptionsHandledInsideTheBodyStayThere)
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
TEST(Guard, OuterGuardHandlesWhatTheInnerOnePasses)
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

inline void guard_with_verdict(int verdict)
{
    seen s;
    s.verdict = verdict;
    platform::guarded_call(null_write, record_filter, &s, nullptr);
}

using GuardDeathTest = ::testing::Test;

// Keep searching (0), or resume (-1) where nothing cured the fault.
TEST_F(GuardDeathTest, ContinueSearchOrAResumeThatCuresNothingEndsByTheDefaultCourse)
{
    for (int verdict : { 0, -1 })
        EXPECT_EXIT(guard_with_verdict(verdict), ended_by_the_fault, "") << verdict;
}

} // namespace guard_contract
