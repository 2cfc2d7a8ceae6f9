// Runs a piece of a test on a thread whose stack is 1 MB, the stack Windows
// gives a program's main thread (where the game reads game.ini): what passes
// here cannot exhaust the game's stack either.
#pragma once

#include <cstddef>
#include <functional>

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace small_stack {

// The main-thread stack of a Windows program built with the default settings.
constexpr size_t stack_bytes = size_t(1) << 20;

// Runs body to its end on a new thread with a stack of stack_bytes; false when
// no such thread could be made.
inline bool run(const std::function<void()>& body)
{
#if defined(_WIN32)
    struct start {
        static DWORD WINAPI thread(LPVOID argument)
        {
            (*static_cast<const std::function<void()>*>(argument))();
            return 0;
        }
    };
    HANDLE thread = CreateThread(nullptr, stack_bytes, &start::thread, const_cast<std::function<void()>*>(&body),
        STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread)
        return false;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
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
