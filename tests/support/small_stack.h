// Runs a piece of a test on a thread whose stack is 1 MB, the stack Windows
// gives a program's main thread (where the game reads game.ini): what passes
// here cannot exhaust the game's stack either.
#pragma once

#include <cstddef>
#include <functional>

#if !defined(_WIN32)
#include <pthread.h>
#endif

namespace small_stack {

// The main-thread stack of a Windows program built with the default settings.
constexpr size_t stack_bytes = size_t(1) << 20;

// Runs body to its end on a stack of stack_bytes; false when that could not
// be arranged. On Windows the test programs that use this are linked with a
// main-thread stack of that size (as the game's main thread has), and the
// body runs there: the filesystem module's log writer is not made for records
// from threads of the program's own.
inline bool run(const std::function<void()>& body)
{
#if defined(_WIN32)
    body();
    return true;
#else
    struct start {
        static void* thread(void* argument)
        {
            (*static_cast<const std::function<void()>*>(argument))();
            return nullptr;
        }
    };
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return false;
    pthread_t thread;
    bool made = pthread_attr_setstacksize(&attributes, stack_bytes) == 0
        && pthread_create(&thread, &attributes, &start::thread, const_cast<std::function<void()>*>(&body)) == 0;
    pthread_attr_destroy(&attributes);
    if (made)
        pthread_join(thread, nullptr);
    return made;
#endif
}

} // namespace small_stack
