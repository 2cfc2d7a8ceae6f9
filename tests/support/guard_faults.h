// What the exception guard tests of both backends share: faults the compiler
// cannot remove (the sanitizers kept out of them, so the fault itself reaches
// the guard) and a filter that records what it was asked.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/platform.h"

namespace guard_faults {

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

} // namespace guard_faults
