// The host's side of crash dumps: which dump function runs, whether it writes a
// full dump, and what the guard does before and after the filesystem module
// looked at a fault.
#include "host/crash_guard.h"

#include "host/shutdown.h"

namespace {

bool g_FullDump = false;

// The record of a run that the guard's handler ended. After a crash only the
// last two shutdown steps run, so the record is neither released nor destroyed:
// the settings, the parsed script and the texts stay as the fault left them (a
// crashed process touches as little of its heap as it can), reachable from here
// for a debugger.
HostRun* g_CrashedRun = nullptr;

struct GuardedRun {
    HostRun* run;
    int (*body)(HostRun& run);
};

int run_body(void* argument)
{
    auto* guarded = static_cast<GuardedRun*>(argument);
    return guarded->body(*guarded->run);
}

// The filesystem module decides: run the handler, keep searching or resume.
int dump_filter(uint32_t code, platform::exception_pointers* pointers, void*) { return GenerateDump(code, pointers); }

} // namespace

void SetFullDump(bool on) { g_FullDump = on; }

bool FullDump() { return g_FullDump; }

EDumpResult::TYPE HostDumpFunction(unsigned long code, ExceptionPointers* pointers)
{
    WriteFullDump(code, pointers, nullptr, g_FullDump, nullptr);
    return EDumpResult::Handled;
}

void InstallHostDumpFunction(HostRun& run)
{
    run.previous_dump = GetDumpFunction();
    SetDumpFunction(HostDumpFunction);
}

bool RunGuarded(HostRun& run, int (*body)(HostRun& run), int* result)
{
    GuardedRun guarded { &run, body };
    return platform::guarded_call(run_body, dump_filter, &guarded, result);
}

int CrashHandler(std::unique_ptr<HostRun> run)
{
    FinishShutdown(*run);
    int exit_code = int(run->message.wparam);
    g_CrashedRun = run.release();
    return exit_code;
}

std::unique_ptr<HostRun> TakeCrashedRun()
{
    HostRun* run = g_CrashedRun;
    g_CrashedRun = nullptr;
    return std::unique_ptr<HostRun>(run);
}
