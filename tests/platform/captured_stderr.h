// Standard error of the test process caught in a pipe while a call runs, for
// the messages the platform layer writes there.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

class captured_stderr {
public:
    captured_stderr()
    {
        std::fflush(stderr);
        saved_ = dup(2);
        if (pipe(pipe_) == 0) {
            fcntl(pipe_[0], F_SETFL, O_NONBLOCK);
            dup2(pipe_[1], 2);
        }
    }
    ~captured_stderr() { text(); }
    captured_stderr(const captured_stderr&) = delete;
    captured_stderr& operator=(const captured_stderr&) = delete;

    // Ends the capture (at the first call) and gives what was written.
    const std::string& text()
    {
        if (saved_ < 0)
            return text_;
        std::fflush(stderr);
        dup2(saved_, 2);
        close(saved_);
        close(pipe_[1]);
        saved_ = -1;
        char buffer[4096];
        for (ssize_t got; (got = read(pipe_[0], buffer, sizeof(buffer))) > 0;)
            text_.append(buffer, size_t(got));
        close(pipe_[0]);
        return text_;
    }

private:
    int saved_ = -1;
    int pipe_[2] = { -1, -1 };
    std::string text_;
};
