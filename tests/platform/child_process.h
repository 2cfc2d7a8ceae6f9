// Runs a piece of a test in a forked child, for outcomes that end or change the
// whole process (a fault taking its default course, signals, affinity).
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

// The child's wait status; the child's result is its exit code.
template <typename F> int run_in_child(F body)
{
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0)
        _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

inline bool exited_with(int status, int code) { return WIFEXITED(status) && WEXITSTATUS(status) == code; }
inline bool killed_by(int status, int number) { return WIFSIGNALED(status) && WTERMSIG(status) == number; }
