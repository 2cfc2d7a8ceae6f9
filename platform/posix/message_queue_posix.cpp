// The message queue on POSIX: one in-process queue for the whole process (the
// library is shared, so the host and the modules see the same one). There are no
// windows, so the only message is WM_QUIT from post_quit_message; once taken
// with pm_remove it is gone, as on Windows. SIGINT and SIGTERM post a quit with exit
// code 128 + signal so that Ctrl-C shuts the game down in order; a second one
// while the first is pending takes the signal's default course. The signal
// handlers are installed by the first peek_message, so programs without a
// message loop keep the usual behaviour.
#include <signal.h>
#include <time.h>

#include "platform/critical_section.h"
#include "platform/platform.h"

namespace platform {

namespace {

struct queue_state {
    queue_state() { initialize_critical_section(&lock); }
    critical_section lock;
    bool quit_posted = false;
    bool signal_taken = false;
    int quit_code = 0;
    bool signals_installed = false;
};

queue_state& queue()
{
    static queue_state state; // the lock is never deleted: the queue lives as long as the process
    return state;
}

volatile sig_atomic_t signal_quit = 0; // the signal number, set by the handler only

void on_quit_signal(int number)
{
    if (signal_quit != 0) {
        signal(number, SIG_DFL); // asked twice: stop waiting for the loop
        raise(number);
        return;
    }
    signal_quit = number;
}

void install_signals(queue_state& q)
{
    if (q.signals_installed)
        return;
    struct sigaction action { };
    action.sa_handler = on_quit_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    q.signals_installed = true;
}

uint32_t milliseconds_now()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint32_t(uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u);
}

bool in_filter(uint32_t id, uint32_t filter_min, uint32_t filter_max)
{
    return (filter_min == 0 && filter_max == 0) || (id >= filter_min && id <= filter_max);
}

bool take_quit(queue_state& q, message* out, uint32_t filter_min, uint32_t filter_max, uint32_t remove)
{
    if (signal_quit != 0 && !q.signal_taken) {
        q.signal_taken = true;
        q.quit_posted = true;
        q.quit_code = 128 + int(signal_quit);
    }
    if (!q.quit_posted || !in_filter(wm_quit, filter_min, filter_max))
        return false;
    *out = message { nullptr, wm_quit, uint64_t(int64_t(q.quit_code)), 0, milliseconds_now() };
    if (remove & pm_remove)
        q.quit_posted = false;
    return true;
}

} // namespace

bool peek_message(message* out, handle, uint32_t filter_min, uint32_t filter_max, uint32_t remove)
{
    queue_state& q = queue();
    scoped_lock hold(q.lock);
    install_signals(q);
    return out && take_quit(q, out, filter_min, filter_max, remove);
}

bool translate_message(const message*) { return false; } // no keyboard messages to translate
int64_t dispatch_message(const message*) { return 0; } // no window procedures to call

void post_quit_message(int exit_code)
{
    queue_state& q = queue();
    scoped_lock hold(q.lock);
    q.quit_posted = true;
    q.quit_code = exit_code;
}

} // namespace platform
