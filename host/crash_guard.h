// Crash-dump hand-over: the host's dump function, the "/fulldump" switch, and
// the structured-exception guard around start-up, the message loop and shutdown.
#pragma once

#include <memory>

#include "host/host_run.h"
#include "host/modules/filesystem_module.h"

// Process-wide "full dump" switch, false at start; read by HostDumpFunction.
void SetFullDump(bool on);
bool FullDump();

// Writes the crash dump through the filesystem module; always reports 0.
EDumpResult::TYPE HostDumpFunction(unsigned long code, ExceptionPointers* pointers);

// Keeps the installed dump function in run.previous_dump and installs ours.
void InstallHostDumpFunction(HostRun& run);

// Runs body(run) under the guard, whose filter is the filesystem module's
// GenerateDump. True with the body's result in *result when the body returned;
// false when the guard's handler ran (the caller then runs CrashHandler).
bool RunGuarded(HostRun& run, int (*body)(HostRun& run), int* result);

// The guard's handler: restores the previous dump function, tears SDL down and
// gives the message record's wParam as the exit code. Nothing else is shut down
// or released: the run's record is kept as it is, never destroyed.
int CrashHandler(std::unique_ptr<HostRun> run);

// The record a crashed run left (null when none), handed to the caller; the
// tests release it between runs.
std::unique_ptr<HostRun> TakeCrashedRun();
