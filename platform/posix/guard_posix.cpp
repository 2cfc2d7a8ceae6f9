// The structured-exception guard on POSIX. While any guard is active in the
// process, SIGSEGV, SIGBUS, SIGFPE and SIGILL are caught on an alternate stack
// (so that a stack overflow can be caught too) and turned into exception codes:
// access violation, in-page error, integer divide by zero, illegal instruction.
// The innermost guard's filter decides, then, while filters keep searching, the
// outer ones: 1 jumps back into that guard (guarded_call returns false), -1
// resumes at the fault, 0 everywhere restores the default action and lets the
// fault take its course, so the process dies by the signal.
#include "platform/posix/exception_pointers_posix.h"

#include <pthread.h>
#include <setjmp.h>
#include <ucontext.h>

#include <cstdlib>

namespace platform {

namespace {

constexpr int guarded_signals[] = { SIGSEGV, SIGBUS, SIGFPE, SIGILL };
constexpr int guarded_count = int(sizeof(guarded_signals) / sizeof(guarded_signals[0]));
// The filter runs on the alternate stack and may write a whole crash report
// (formatted output, a backtrace): 256 KiB leaves room even with sanitizers.
constexpr size_t alternate_stack_size = 256 * 1024;
// A filter that resumes without curing the fault would spin forever: after 16
// faults in a row at one instruction, the fault takes its default course.
constexpr int max_resumes_at_one_address = 16;

struct guard_frame {
    sigjmp_buf jump;
    guard_filter filter;
    void* argument;
    guard_frame* outer;
    int depth; // 1 for the thread's outermost guard
};

struct code_entry {
    int signal;
    uint32_t code;
};
constexpr code_entry codes[] = {
    { SIGSEGV, exception_access_violation },
    { SIGBUS, exception_in_page_error },
    { SIGFPE, exception_int_divide_by_zero },
    { SIGILL, exception_illegal_instruction },
};

// Per thread: the guards it is inside and its alternate stack.
struct thread_guards {
    guard_frame* innermost = nullptr;
    int depth = 0;
    void* stack_memory = nullptr;
    stack_t previous_stack {};
    void* resumed_at = nullptr;
    int resumes = 0;

    ~thread_guards() { std::free(stack_memory); } // never in use here: depth is 0 at thread exit
};
thread_local thread_guards guards;

// Per process: the handlers in place before the first guard, restored after the last.
pthread_mutex_t install_lock = PTHREAD_MUTEX_INITIALIZER;
int guarded_threads = 0;
struct sigaction saved_actions[guarded_count];

uint32_t code_of(int number)
{
    for (const code_entry& entry : codes)
        if (entry.signal == number)
            return entry.code;
    return exception_access_violation;
}

void* faulting_instruction(siginfo_t* info, void* context)
{
#if defined(__x86_64__)
    if (context)
        return reinterpret_cast<void*>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
#endif
    return info ? info->si_addr : nullptr;
}

void take_default_course(int number, siginfo_t* info)
{
    struct sigaction action { };
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(number, &action, nullptr);
    if (!info || info->si_code <= 0)
        raise(number); // sent by kill or raise: it would not come back by itself
}

// Resuming is allowed until the same instruction has faulted too often in a row.
bool may_resume(void* address)
{
    if (address != guards.resumed_at) {
        guards.resumed_at = address;
        guards.resumes = 0;
    }
    return ++guards.resumes <= max_resumes_at_one_address;
}

void on_fault(int number, siginfo_t* info, void* context)
{
    exception_pointers pointers { code_of(number), faulting_instruction(info, context), info, context };
    for (guard_frame* frame = guards.innermost; frame; frame = frame->outer) {
        int verdict = frame->filter ? frame->filter(pointers.code, &pointers, frame->argument) : 0;
        if (verdict == 1)
            siglongjmp(frame->jump, 1);
        if (verdict == -1) {
            if (may_resume(pointers.address))
                return;
            break;
        }
    }
    take_default_course(number, info);
}

void install_handlers()
{
    pthread_mutex_lock(&install_lock);
    if (guarded_threads++ == 0) {
        struct sigaction action { };
        action.sa_sigaction = on_fault;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        for (int i = 0; i < guarded_count; ++i)
            sigaction(guarded_signals[i], &action, &saved_actions[i]);
    }
    pthread_mutex_unlock(&install_lock);
}

void restore_handlers()
{
    pthread_mutex_lock(&install_lock);
    if (--guarded_threads == 0)
        for (int i = 0; i < guarded_count; ++i)
            sigaction(guarded_signals[i], &saved_actions[i], nullptr);
    pthread_mutex_unlock(&install_lock);
}

// The thread's first guard sets up its alternate stack and the handlers; the
// last one puts back what was there before.
void enter(guard_frame* frame)
{
    if (guards.depth++ == 0) {
        if (!guards.stack_memory)
            guards.stack_memory = std::malloc(alternate_stack_size);
        stack_t ours {};
        ours.ss_sp = guards.stack_memory;
        ours.ss_size = alternate_stack_size;
        if (guards.stack_memory)
            sigaltstack(&ours, &guards.previous_stack);
        install_handlers();
    }
    frame->outer = guards.innermost;
    frame->depth = guards.depth;
    guards.innermost = frame;
}

void leave(guard_frame* frame)
{
    guards.innermost = frame->outer;
    if (--guards.depth == 0) {
        restore_handlers();
        if (guards.stack_memory)
            sigaltstack(&guards.previous_stack, nullptr);
    }
}

} // namespace

uint32_t exception_code(const exception_pointers* pointers) { return pointers ? pointers->code : 0; }
void* exception_address(const exception_pointers* pointers) { return pointers ? pointers->address : nullptr; }

bool guarded_call(guard_body body, guard_filter filter, void* argument, int* result)
{
    guard_frame frame {};
    frame.filter = filter;
    frame.argument = argument;
    enter(&frame);
    volatile bool finished = false;
    if (sigsetjmp(frame.jump, 1) == 0) {
        int value = body(argument);
        if (result)
            *result = value;
        finished = true;
    } else {
        // Back from a fault, maybe from inside inner guards that never got to leave.
        guards.innermost = &frame;
        guards.depth = frame.depth;
    }
    leave(&frame);
    return finished;
}

} // namespace platform
