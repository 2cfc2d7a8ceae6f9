// Processor detection: vendor and instruction-set features from CPUID, the
// clock measured against the performance counter, and the package, core and
// logical processor counts. Filled once per process by cpuidInitialize.
#pragma once

#include <cstdint>

struct CpuInfo {
    bool initialised = false;
    bool SSSE3 = false;
    bool SSE41 = false;
    bool SSE42 = false;
    bool SSE4A = false;
    bool AVX = false;
    bool AVX2 = false;
    bool F16C = false;
    bool FMA = false;
    bool CX16 = false;
    bool POPCNT = false;
    bool LZCNT = false;
    bool BMI1 = false;
    bool BMI2 = false;
    bool HTT = false; // only for the log record
    char vendor[13] = {};
    float clock = 0.0f; // kHz
    uint8_t cpus = 1;
    uint8_t logical_per_package = 0;
    uint32_t cores = 1;
    uint32_t logical_processors = 1;
};

// The process-wide record; read only after cpuidInitialize.
const CpuInfo& GetCpuInfo();

// Fills CpuInfo on the first call, logs it ("System") and pins the process to
// the first logical processor when the command line holds "-nohtt".
void cpuidInitialize();
// Counts packages, cores and logical processors; leaves the counts as they are
// when the operating system cannot tell.
void CountProcessors();
uint32_t CountSetBits(uint64_t mask);

namespace cpuid_detail {
// Forgets the first call so that tests can run cpuidInitialize again.
void reset();
} // namespace cpuid_detail
