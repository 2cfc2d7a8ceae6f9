// Processor detection from given CPUID registers, processor records and counter
// readings: features, vendor, the HT word, the counts, the clock arithmetic
// (64-bit wrap included), the records and the "-nohtt" switch.
#include "engine/kernel/Cpuid.h"

#include <cstring>

#include "tests/host/host_fixture.h"

namespace {

using platform::cpuid_registers;
using platform::fake::processor_record;

// Registers of leaf 0 spelling a vendor in EBX, EDX, ECX.
cpuid_registers vendor_leaf(const char* vendor)
{
    cpuid_registers r {};
    std::memcpy(&r.ebx, vendor, 4);
    std::memcpy(&r.edx, vendor + 4, 4);
    std::memcpy(&r.ecx, vendor + 8, 4);
    return r;
}

void set_leaf(uint32_t leaf, cpuid_registers r) { platform::fake::set().cpuid[{ leaf, 0 }] = r; }

std::vector<fakes::log_entry> system_records() { return fakes::log_entries_of("System"); }

constexpr uint32_t bit(int n) { return 1u << n; }

struct FeatureCase {
    const char* vendor;
    uint32_t leaf1_ecx;
    uint32_t leaf7_ebx;
    uint32_t ext_ecx;
    const char* features; // as the record lists them
};

const FeatureCase kFeatureCases[] = {
    { "GenuineIntel", 0, 0, 0, "" },
    { "GenuineIntel", bit(9) | bit(19) | bit(20), 0, 0, " SSSE3 SSE4.1 SSE4.2" },
    { "GenuineIntel", bit(27) | bit(28), 0, 0, " AVX" },
    { "GenuineIntel", bit(28) | bit(29) | bit(12), 0, 0, "" }, // no OSXSAVE: no AVX, F16C, FMA
    { "GenuineIntel", bit(27) | bit(29) | bit(12), 0, 0, "" }, // OSXSAVE without AVX
    { "GenuineIntel", bit(27) | bit(28) | bit(29) | bit(12), 0, 0, " AVX F16C FMA" },
    { "GenuineIntel", bit(13) | bit(23), 0, bit(5) | bit(6), " CX16 POPCNT LZCNT" }, // SSE4A only on AMD
    { "AuthenticAMD", 0, 0, bit(6), " SSE4A" },
    { "GenuineIntel", 0, bit(5) | bit(3) | bit(8), 0, " AVX2 BMI1 BMI2" },
};

class FeatureTest : public HostTest, public ::testing::WithParamInterface<FeatureCase> { };

TEST_P(FeatureTest, ReadsTheFeatureBits)
{
    const FeatureCase& c = GetParam();
    set_leaf(0, vendor_leaf(c.vendor));
    set_leaf(1, cpuid_registers { 0, 0, c.leaf1_ecx, 0 });
    set_leaf(7, cpuid_registers { 0, c.leaf7_ebx, 0, 0 });
    set_leaf(0x80000001u, cpuid_registers { 0, 0, c.ext_ecx, 0 });
    cpuidInitialize();
    EXPECT_STREQ(GetCpuInfo().vendor, c.vendor);
    auto records = system_records();
    ASSERT_EQ(records.size(), 2u);
    std::string expected = std::string("[CPU] vendor: ") + c.vendor + ", features:" + c.features + ", clock";
    EXPECT_EQ(records[0].text.substr(0, expected.size()), expected);
}

INSTANTIATE_TEST_SUITE_P(Host, FeatureTest, ::testing::ValuesIn(kFeatureCases));

// Four cores; each core record carries mask_per_core.
void four_cores(uint64_t bits_per_core)
{
    auto& p = platform::fake::set().processors;
    p = { processor_record(3, 0xff), processor_record(2, 0xff) };
    for (int i = 0; i < 4; ++i)
        p.push_back(processor_record(0, bits_per_core << (i * 2)));
}

struct HtCase {
    const char* name;
    const char* vendor;
    uint32_t leaf1_ebx; // logical per package in bits 16 to 23 (Intel)
    uint32_t ext8_ecx; // logical per package - 1 in bits 0 to 7 (others)
    bool htt;
    uint64_t bits_per_core;
    const char* line;
};

const HtCase kHtCases[] = {
    { "IntelHtOn", "GenuineIntel", 8u << 16, 0, true, 0x3,
        "[CPU] CPUs: 1, Cores: 4, HT: Yes, Logical processors: 8\n" },
    { "IntelHtOff", "GenuineIntel", 8u << 16, 0, true, 0x1,
        "[CPU] CPUs: 1, Cores: 4, HT: Disabled, Logical processors: 4\n" },
    { "IntelOneLogical", "GenuineIntel", 1u << 16, 0, true, 0x3,
        "[CPU] CPUs: 1, Cores: 4, HT: No, Logical processors: 8\n" },
    { "IntelNoHtt", "GenuineIntel", 8u << 16, 0, false, 0x3,
        "[CPU] CPUs: 1, Cores: 4, HT: No, Logical processors: 8\n" },
    { "AmdFromExtendedLeaf", "AuthenticAMD", 1u << 16, 7, true, 0x3,
        "[CPU] CPUs: 1, Cores: 4, HT: Yes, Logical processors: 8\n" },
    { "AmdOneLogical", "AuthenticAMD", 8u << 16, 0, true, 0x3,
        "[CPU] CPUs: 1, Cores: 4, HT: No, Logical processors: 8\n" },
};

class HtTest : public HostTest, public ::testing::WithParamInterface<HtCase> { };

TEST_P(HtTest, ReportsTheHtWord)
{
    const HtCase& c = GetParam();
    set_leaf(0, vendor_leaf(c.vendor));
    set_leaf(1, cpuid_registers { 0, c.leaf1_ebx, 0, c.htt ? bit(28) : 0 });
    set_leaf(0x80000008u, cpuid_registers { 0, 0, c.ext8_ecx, 0 });
    four_cores(c.bits_per_core);
    cpuidInitialize();
    auto records = system_records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].text, c.line);
    EXPECT_EQ(records[0].text.find(" HTT,") != std::string::npos, c.htt);
}

INSTANTIATE_TEST_SUITE_P(Host, HtTest, ::testing::ValuesIn(kHtCases),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(HostTest, CountsPackagesCoresAndLogicalProcessors)
{
    auto& p = platform::fake::set().processors;
    p = { processor_record(3, 0xf), processor_record(3, 0xf0), processor_record(1, 0xff), processor_record(0, 0x3),
        processor_record(0, 0xc), processor_record(0, 0x30), processor_record(0, 0xc0), processor_record(2, 0x1) };
    cpuidInitialize();
    EXPECT_EQ(GetCpuInfo().cpus, 2);
    EXPECT_EQ(GetCpuInfo().cores, 4u);
    EXPECT_EQ(GetCpuInfo().logical_processors, 8u);
}

TEST_F(HostTest, UnusableProcessorInformationLeavesOneOfEach)
{
    for (int failing_call : { 1, 2 }) {
        reset_everything();
        four_cores(0x3);
        platform::fake::set().processor_information_usable = failing_call != 1;
        platform::fake::set().processor_information_second_ok = failing_call != 2;
        cpuidInitialize();
        auto records = system_records();
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[1].text, "[CPU] CPUs: 1, Cores: 1, HT: No, Logical processors: 1\n") << failing_call;
    }
}

TEST_F(HostTest, ZeroProcessorRecordsGiveZeroCounts)
{
    platform::fake::set().processors.clear();
    cpuidInitialize();
    EXPECT_EQ(GetCpuInfo().cpus, 0);
    EXPECT_EQ(GetCpuInfo().cores, 0u);
    EXPECT_EQ(GetCpuInfo().logical_processors, 0u);
}

TEST(CountSetBits, CountsEveryBitOfSixtyFour)
{
    EXPECT_EQ(CountSetBits(0), 0u);
    EXPECT_EQ(CountSetBits(1), 1u);
    EXPECT_EQ(CountSetBits(0xf0f0), 8u);
    EXPECT_EQ(CountSetBits(uint64_t(1) << 63), 1u);
    EXPECT_EQ(CountSetBits(~uint64_t(0)), 64u);
}

// Counter readings in the order the measurement takes them: t0, t1 until it
// moves, t2 until 1/128 second has passed.
struct ClockCase {
    const char* name;
    int64_t frequency;
    std::deque<int64_t> counters;
    std::deque<uint64_t> time_stamps;
    float khz;
};

const ClockCase kClockCases[] = {
    // 1 MHz counter: 1/128 s = 7812 ticks from t1 = 101; 39062500 cycles in 7812 ticks.
    { "ThreeGigahertz", 1'000'000, { 100, 100, 101, 5000, 7912, 7913 }, { 1000, 1000 + 39'062'500 },
        float(double(float(39'062'500ull * 1'000'000ull / 7812)) * 0.001) },
    // The product (2^60 + 1000) x 256 wraps to 256000; over 2 ticks: 128 kHz.
    { "ProductWrapsAt64Bits", 256, { 0, 1, 3 }, { 0, (uint64_t(1) << 60) + 1000 }, 128.0f },
    // The time-stamp counter itself wraps between the two readings.
    { "TimeStampWraps", 256, { 0, 1, 3 }, { ~uint64_t(0) - 499, 500 }, 128.0f },
    // A counter slower than 128 Hz that does not move: no division by zero.
    { "NoElapsedTicks", 100, { 5, 6, 6 }, { 0, 1000 }, 0.0f },
};

class ClockTest : public HostTest, public ::testing::WithParamInterface<ClockCase> { };

TEST_P(ClockTest, MeasuresOverOneHundredTwentyEighthOfASecond)
{
    platform::fake::set().counter_frequency = GetParam().frequency;
    platform::fake::set().counters = GetParam().counters;
    platform::fake::set().time_stamps = GetParam().time_stamps;
    cpuidInitialize();
    EXPECT_FLOAT_EQ(GetCpuInfo().clock, GetParam().khz);
    EXPECT_TRUE(platform::fake::set().counters.empty()) << "every reading was taken";
    char mhz[64];
    std::snprintf(mhz, sizeof mhz, "clock frequency: %.2fMHz\n", double(GetParam().khz) * 0.001);
    const std::string text = system_records().at(0).text;
    EXPECT_EQ(text.substr(text.size() - std::strlen(mhz)), mhz);
}

INSTANTIATE_TEST_SUITE_P(Host, ClockTest, ::testing::ValuesIn(kClockCases),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(HostTest, MeasuresPinnedAtRealTimeAndRestoresInOrder)
{
    platform::fake::set().thread_affinity = 0xf;
    platform::fake::set().priority_class = 0x80;
    platform::fake::set().thread_priority = 2;
    cpuidInitialize();
    auto calls = platform::fake::calls_starting_with({ "set_thread", "set_priority", "get_priority", "get_thread",
        "query_performance_frequency", "read_time_stamp" });
    EXPECT_EQ(calls,
        (std::vector<std::string> { "set_thread_affinity_mask(0x1)", "get_priority_class()", "get_thread_priority()",
            "set_priority_class(0x100)", "set_thread_priority(15)", "query_performance_frequency()",
            "read_time_stamp_counter()", "read_time_stamp_counter()", "set_thread_priority(2)",
            "set_priority_class(0x80)", "set_thread_affinity_mask(0xf)" }));
}

TEST_F(HostTest, RecordsCarryTheirLinesAndAreSkippedBelowInformation)
{
    platform::fake::set().command_line = "game.exe -nohtt";
    cpuidInitialize();
    std::vector<int> lines;
    for (const auto& r : system_records()) {
        EXPECT_EQ(r.level, 3);
        EXPECT_EQ(r.file, "engine/kernel/Cpuid");
        EXPECT_EQ(r.function, "cpuidInitialize");
        lines.push_back(r.line);
    }
    EXPECT_EQ(lines, (std::vector<int> { 435, 453, 467, 468, 474 }));

    reset_everything();
    platform::fake::set().command_line = "game.exe -nohtt";
    fakes::set().category_levels["System"] = 2;
    cpuidInitialize();
    EXPECT_TRUE(system_records().empty());
    EXPECT_TRUE(called("set_process_affinity_mask(0x1)")) << "the switch works without the records";
}

TEST_F(HostTest, NoHttAnywhereRestrictsTheProcessToTheFirstLogicalProcessor)
{
    platform::fake::set().command_line = "game.exe x-nohttx";
    platform::fake::set().process_affinity = 0x1'0000'00ff;
    platform::fake::set().system_affinity = 0x3'0000'ffff;
    cpuidInitialize();
    EXPECT_EQ(platform::fake::set().process_affinity, 1u);
    auto records = system_records();
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[2].text, "[CPU] process affinity mask: 0x1000000ff\n");
    EXPECT_EQ(records[3].text, "[CPU] system affinity mask: 0x30000ffff\n");
    EXPECT_EQ(records[4].text, "[CPU] disabling HyperThreading/DualCore support!\n");

    for (const char* line : { "game.exe", "game.exe -NOHTT", "game.exe -noht" }) {
        reset_everything();
        platform::fake::set().command_line = line;
        cpuidInitialize();
        EXPECT_FALSE(called_starting_with("set_process_affinity_mask")) << line;
        EXPECT_EQ(system_records().size(), 2u);
    }
}

TEST_F(HostTest, RunsOnlyOnce)
{
    cpuidInitialize();
    size_t after_first = platform::fake::calls().size();
    cpuidInitialize();
    EXPECT_EQ(platform::fake::calls().size(), after_first);
    EXPECT_TRUE(GetCpuInfo().initialised);
}

} // namespace
