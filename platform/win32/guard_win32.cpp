// The structured-exception guard on Windows. guarded_call runs the body inside
// a small assembly frame (mc_guard_enter, below) whose language-specific
// handler is the guard's own. The system's exception dispatch asks that handler
// about every exception no frame inside the body handled, exactly where a
// __try/__except around the body would be asked, and its filter gives the
// verdict: 1 unwinds back into the guard (RtlUnwindEx, so guarded_call returns
// false), -1 resumes at the fault, 0 passes the exception on to the frames
// outside (outer guards, then the system's default: the process ends with the
// exception code). Nested guards are nested frames; nothing is kept per thread.
#include "platform/win32/exception_pointers_win32.h"

namespace platform {

namespace {

// A filter that resumes without curing the fault would spin forever: after 16
// faults in a row at one instruction, the exception is passed on as with 0.
constexpr int max_resumes_at_one_address = 16;
// Stack kept for the filter after a stack overflow: it writes a whole crash
// report, with formatted output and a minidump.
constexpr ULONG stack_for_filters = 64 * 1024;

struct guard_frame {
    void* landing; // set by mc_guard_enter: where an unwind into the guard lands
    guard_body body;
    guard_filter filter;
    void* argument;
    int result;
    bool finished;
};

thread_local void* resumed_at = nullptr;
thread_local int resumes = 0;
thread_local bool stack_reserved = false;

} // namespace

} // namespace platform

// mc_guard_enter(frame): keeps the frame record at [establisher frame + 32],
// notes the landing address in it and calls mc_guard_run_body(frame). An unwind
// for verdict 1 ends at the landing with the stack pointer of the call, and the
// frame returns to guarded_call as if the body had returned. The nop keeps the
// call's return address out of the epilogue, where the system would not ask the
// frame's handler.
extern "C" void mc_guard_enter(platform::guard_frame* frame);
asm(R"(
    .text
    .p2align 4
    .globl mc_guard_enter
    .def mc_guard_enter; .scl 2; .type 32; .endef
    .seh_proc mc_guard_enter
mc_guard_enter:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    movq %rcx, 32(%rsp)
    leaq .Lmc_guard_landing(%rip), %rax
    movq %rax, (%rcx)
    call mc_guard_run_body
    nop
.Lmc_guard_landing:
    addq $40, %rsp
    ret
    .seh_handler mc_guard_handler, @except
    .seh_endproc
)");

namespace platform {

namespace {

// The offset of the frame record in mc_guard_enter's frame.
constexpr size_t frame_record_offset = 32;

[[gnu::used]] void run_body(guard_frame* frame) asm("mc_guard_run_body");
void run_body(guard_frame* frame)
{
    frame->result = frame->body(frame->argument);
    frame->finished = true;
}

// Resuming is allowed until the same instruction has faulted too often in a row.
bool may_resume(const EXCEPTION_RECORD* record)
{
    if (record->ExceptionFlags & EXCEPTION_NONCONTINUABLE)
        return false;
    if (record->ExceptionAddress != resumed_at) {
        resumed_at = record->ExceptionAddress;
        resumes = 0;
    }
    return ++resumes <= max_resumes_at_one_address;
}

[[gnu::used]] EXCEPTION_DISPOSITION handler(EXCEPTION_RECORD* record, void* establisher, CONTEXT* context,
    DISPATCHER_CONTEXT* dispatch) asm("mc_guard_handler");
EXCEPTION_DISPOSITION handler(
    EXCEPTION_RECORD* record, void* establisher, CONTEXT* context, DISPATCHER_CONTEXT* dispatch)
{
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch; // an unwind passing through: nothing to clean up
    guard_frame* frame = *reinterpret_cast<guard_frame**>(static_cast<char*>(establisher) + frame_record_offset);
    exception_pointers pointers { { record, context } };
    int verdict = frame->filter ? frame->filter(record->ExceptionCode, &pointers, frame->argument) : 0;
    if (verdict == 1)
        RtlUnwindEx(establisher, frame->landing, record, nullptr, context, dispatch->HistoryTable);
    if (verdict == -1 && may_resume(record))
        return ExceptionContinueExecution;
    return ExceptionContinueSearch;
}

// After a stack overflow the filter runs on what is left of the stack; the
// guarantee keeps room for it. Once per thread.
void reserve_stack_for_filters()
{
    if (stack_reserved)
        return;
    ULONG size = stack_for_filters;
    SetThreadStackGuarantee(&size);
    stack_reserved = true;
}

} // namespace

uint32_t exception_code(const exception_pointers* pointers)
{
    return pointers && pointers->native.ExceptionRecord ? pointers->native.ExceptionRecord->ExceptionCode : 0;
}

void* exception_address(const exception_pointers* pointers)
{
    return pointers && pointers->native.ExceptionRecord ? pointers->native.ExceptionRecord->ExceptionAddress : nullptr;
}

bool guarded_call(guard_body body, guard_filter filter, void* argument, int* result)
{
    reserve_stack_for_filters();
    guard_frame frame { nullptr, body, filter, argument, 0, false };
    mc_guard_enter(&frame);
    if (frame.finished && result)
        *result = frame.result;
    return frame.finished;
}

} // namespace platform
