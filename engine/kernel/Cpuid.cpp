// Processor detection: CPUID features, the clock measured over 1/128 second of
// the performance counter at real-time priority, the processor counts, the two
// information records and the "-nohtt" affinity switch.
#include "engine/kernel/Cpuid.h"

#include <cstdlib>
#include <cstring>

#include "engine/kernel/log_record.h"
#include "platform/platform.h"

namespace {

constexpr const char* kModule = "engine/kernel/Cpuid";
constexpr const char* kCategory = "System";

CpuInfo g_CpuInfo;

Log::Where at(int line) { return Log::Where { kModule, line, "cpuidInitialize" }; }

bool bit(uint32_t value, int index) { return (value >> index) & 1u; }

bool all_bits(uint32_t value, uint32_t mask) { return (value & mask) == mask; }

// The 8-bit counts saturate: no machine comes near 255 packages, but a wrap to 0
// would turn the HT word and the record line into nonsense.
uint8_t saturate8(uint32_t value) { return value > 255 ? 255 : uint8_t(value); }

void read_vendor(CpuInfo& info)
{
    platform::cpuid_registers leaf0 = platform::cpuid(0, 0);
    std::memcpy(info.vendor + 0, &leaf0.ebx, 4);
    std::memcpy(info.vendor + 4, &leaf0.edx, 4);
    std::memcpy(info.vendor + 8, &leaf0.ecx, 4);
    info.vendor[12] = 0;
}

// Feature bits of the tables: leaf 1, leaf 7 sub-leaf 0, leaf 0x80000001.
void read_features(CpuInfo& info)
{
    constexpr uint32_t osxsave_avx = 1u << 27 | 1u << 28;
    platform::cpuid_registers leaf1 = platform::cpuid(1, 0);
    platform::cpuid_registers leaf7 = platform::cpuid(7, 0);
    platform::cpuid_registers ext1 = platform::cpuid(0x80000001u, 0);
    bool amd = std::strcmp(info.vendor, "AuthenticAMD") == 0;
    info.SSSE3 = bit(leaf1.ecx, 9);
    info.SSE41 = bit(leaf1.ecx, 19);
    info.SSE42 = bit(leaf1.ecx, 20);
    info.SSE4A = amd && bit(ext1.ecx, 6);
    info.AVX = all_bits(leaf1.ecx, osxsave_avx);
    info.F16C = all_bits(leaf1.ecx, osxsave_avx | 1u << 29);
    info.FMA = all_bits(leaf1.ecx, osxsave_avx | 1u << 12);
    info.CX16 = bit(leaf1.ecx, 13);
    info.POPCNT = bit(leaf1.ecx, 23);
    info.LZCNT = bit(ext1.ecx, 5);
    info.AVX2 = bit(leaf7.ebx, 5);
    info.BMI1 = bit(leaf7.ebx, 3);
    info.BMI2 = bit(leaf7.ebx, 8);
    info.HTT = bit(leaf1.edx, 28);
    if (std::strcmp(info.vendor, "GenuineIntel") == 0)
        info.logical_per_package = uint8_t((leaf1.ebx >> 16) & 0xff);
    else
        info.logical_per_package = saturate8((platform::cpuid(0x80000008u, 0).ecx & 0xff) + 1);
}

int64_t read_counter()
{
    int64_t value = 0;
    platform::query_performance_counter(&value);
    return value;
}

// Counts time-stamp ticks over 1/128 second of the performance counter,
// starting on a counter tick edge. Returns Hz; 0 when the counter did not move
// (a zero frequency cannot be divided by).
uint64_t measure_hz()
{
    int64_t frequency = 0;
    platform::query_performance_frequency(&frequency);
    int64_t t0 = read_counter();
    int64_t t1 = read_counter();
    while (t1 == t0)
        t1 = read_counter();
    uint64_t c0 = platform::read_time_stamp_counter();
    int64_t t2 = read_counter();
    while (t2 < t1 + (frequency >> 7))
        t2 = read_counter();
    uint64_t c1 = platform::read_time_stamp_counter();
    uint64_t elapsed = uint64_t(t2) - uint64_t(t1);
    if (elapsed == 0)
        return 0;
    return ((c1 - c0) * uint64_t(frequency)) / elapsed; // the product wraps at 64 bits
}

// Pins the thread to the first logical processor at real-time priority while
// measuring, then restores priority, class and affinity in that order.
float measure_clock_khz()
{
    platform::handle thread = platform::current_thread();
    platform::handle process = platform::current_process();
    uint64_t affinity = platform::set_thread_affinity_mask(thread, 1);
    uint32_t priority_class = platform::get_priority_class(process);
    int priority = platform::get_thread_priority(thread);
    platform::set_priority_class(process, platform::realtime_priority_class);
    platform::set_thread_priority(thread, platform::thread_priority_time_critical);
    uint64_t hz = measure_hz();
    platform::set_thread_priority(thread, priority);
    platform::set_priority_class(process, priority_class);
    if (affinity != 0) // 0: the pinning failed, so there is nothing to restore
        platform::set_thread_affinity_mask(thread, affinity);
    return float(double(float(hz)) * 0.001);
}

const char* ht_word(const CpuInfo& info)
{
    if (info.logical_per_package == 1 || !info.HTT)
        return "No";
    return info.logical_processors > info.cores ? "Yes" : "Disabled";
}

void log_processor(const CpuInfo& info)
{
    auto feature = [](bool present, const char* name) { return present ? name : ""; };
    Log::Category(Log::ELevel::Info, kCategory, at(435), false,
        "[CPU] vendor: %s, features:%s%s%s%s%s%s%s%s%s%s%s%s%s%s, clock frequency: %.2fMHz\n", info.vendor,
        feature(info.SSSE3, " SSSE3"), feature(info.SSE41, " SSE4.1"), feature(info.SSE42, " SSE4.2"),
        feature(info.SSE4A, " SSE4A"), feature(info.AVX, " AVX"), feature(info.AVX2, " AVX2"),
        feature(info.F16C, " F16C"), feature(info.FMA, " FMA"), feature(info.CX16, " CX16"),
        feature(info.POPCNT, " POPCNT"), feature(info.LZCNT, " LZCNT"), feature(info.BMI1, " BMI1"),
        feature(info.BMI2, " BMI2"), feature(info.HTT, " HTT"), double(info.clock) * 0.001);
    Log::Category(Log::ELevel::Info, kCategory, at(453), false,
        "[CPU] CPUs: %d, Cores: %d, HT: %s, Logical processors: %d\n", int(info.cpus), int(info.cores), ht_word(info),
        int(info.logical_processors));
}

// "-nohtt": the whole process runs on the first logical processor from now on.
// The masks are printed in full 64 bits so that machines with more than 32
// logical processors are reported correctly.
void restrict_affinity_if_asked()
{
    if (!std::strstr(platform::command_line(), "-nohtt"))
        return;
    platform::handle process = platform::current_process();
    uint64_t process_mask = 0;
    uint64_t system_mask = 0;
    platform::get_process_affinity_mask(process, &process_mask, &system_mask);
    Log::Category(Log::ELevel::Info, kCategory, at(467), false, "[CPU] process affinity mask: %#llx\n",
        static_cast<unsigned long long>(process_mask));
    Log::Category(Log::ELevel::Info, kCategory, at(468), false, "[CPU] system affinity mask: %#llx\n",
        static_cast<unsigned long long>(system_mask));
    platform::set_process_affinity_mask(process, 1);
    Log::Category(Log::ELevel::Info, kCategory, at(474), false, "[CPU] disabling HyperThreading/DualCore support!\n");
}

} // namespace

const CpuInfo& GetCpuInfo() { return g_CpuInfo; }

uint32_t CountSetBits(uint64_t mask)
{
    uint32_t count = 0;
    for (; mask; mask &= mask - 1)
        ++count;
    return count;
}

void CountProcessors()
{
    constexpr uint32_t record_size = sizeof(platform::logical_processor_information);
    uint32_t length = 0;
    if (platform::get_logical_processor_information(nullptr, &length)
        || platform::last_error() != platform::error_insufficient_buffer)
        return;
    uint32_t records = length / record_size;
    auto* buffer
        = static_cast<platform::logical_processor_information*>(std::calloc(records ? records : 1, record_size));
    if (!buffer)
        return;
    length = records * record_size;
    if (!platform::get_logical_processor_information(buffer, &length)) {
        std::free(buffer);
        return;
    }
    uint32_t cpus = 0, cores = 0, logical = 0;
    for (uint32_t i = 0; i < records; ++i) {
        if (buffer[i].relationship == 0) {
            ++cores;
            logical += CountSetBits(buffer[i].processor_mask);
        } else if (buffer[i].relationship == 3) {
            ++cpus;
        }
    }
    std::free(buffer);
    g_CpuInfo.cpus = saturate8(cpus);
    g_CpuInfo.cores = cores;
    g_CpuInfo.logical_processors = logical;
}

void cpuidInitialize()
{
    if (g_CpuInfo.initialised)
        return;
    read_vendor(g_CpuInfo);
    read_features(g_CpuInfo);
    g_CpuInfo.clock = measure_clock_khz();
    g_CpuInfo.cpus = 1;
    g_CpuInfo.cores = 1;
    g_CpuInfo.logical_processors = 1;
    CountProcessors();
    log_processor(g_CpuInfo);
    restrict_affinity_if_asked();
    g_CpuInfo.initialised = true;
}

namespace cpuid_detail {
void reset() { g_CpuInfo = CpuInfo {}; }
} // namespace cpuid_detail
