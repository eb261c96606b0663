#include "host/host_os.h"

#include <gtest/gtest.h>

#include "platform/host_facts.h"

namespace {

struct Row {
    uint32_t dwPlatformId;
    uint32_t dwMajor;
    uint32_t dwMinor;
    uint16_t wArch;
    int32_t nCode;
};

constexpr uint16_t ARCH_ITANIUM = 6;
constexpr uint16_t ARCH_ARM64 = 12;
constexpr uint16_t ARCH_UNKNOWN = 0xFFFF;

TEST(HostOsCode, EveryRowOfTheTable)
{
    const Row rows[] = {
        {0, 0, 0, CPU_ARCH_INTEL, 4096},   {0, 3, 11, ARCH_UNKNOWN, 4096},   {1, 4, 0, CPU_ARCH_INTEL, 4097},
        {1, 4, 10, ARCH_UNKNOWN, 4098},    {1, 4, 90, CPU_ARCH_AMD64, 4099}, {2, 0, 0, CPU_ARCH_INTEL, 4100},
        {2, 3, 51, CPU_ARCH_INTEL, 4100},  {2, 4, 0, ARCH_ITANIUM, 4100},    {2, 5, 0, CPU_ARCH_INTEL, 4101},
        {2, 5, 1, CPU_ARCH_INTEL, 4102},   {2, 5, 1, CPU_ARCH_AMD64, 4102},  {2, 5, 1, ARCH_ITANIUM, 4102},
        {2, 6, 0, CPU_ARCH_INTEL, 4104},   {2, 6, 0, CPU_ARCH_AMD64, 4105},  {2, 6, 1, CPU_ARCH_INTEL, 4106},
        {2, 6, 1, CPU_ARCH_AMD64, 4107},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.nCode, ChooseHostOsCode(row.dwPlatformId, row.dwMajor, row.dwMinor, row.wArch))
            << row.dwPlatformId << " " << row.dwMajor << "." << row.dwMinor << " arch " << row.wArch;
    }
}

TEST(HostOsCode, CombinationsWithoutARowGiveUnknown)
{
    const Row rows[] = {
        {2, 5, 2, CPU_ARCH_AMD64, 0},  // XP x64 / Server 2003
        {2, 5, 2, CPU_ARCH_INTEL, 0},  {2, 6, 2, CPU_ARCH_AMD64, 0},  // Windows 8 and later
        {2, 6, 3, CPU_ARCH_INTEL, 0},  {2, 10, 0, CPU_ARCH_AMD64, 0}, {3, 6, 1, CPU_ARCH_AMD64, 0},
        {1, 4, 20, CPU_ARCH_INTEL, 0}, {1, 5, 0, CPU_ARCH_INTEL, 0},  {1, 3, 0, CPU_ARCH_INTEL, 0},
        {2, 6, 0, ARCH_ITANIUM, 0},    {2, 6, 1, ARCH_ITANIUM, 0},    {2, 6, 1, ARCH_ARM64, 0},
        {2, 6, 0, ARCH_UNKNOWN, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(HOST_OS_UNKNOWN, ChooseHostOsCode(row.dwPlatformId, row.dwMajor, row.dwMinor, row.wArch))
            << row.dwPlatformId << " " << row.dwMajor << "." << row.dwMinor << " arch " << row.wArch;
    }
}

TEST(HostOsCode, NoCombinationGivesTheUnassignedCode)
{
    const uint16_t arches[] = {CPU_ARCH_INTEL, ARCH_ITANIUM, CPU_ARCH_AMD64, ARCH_ARM64, ARCH_UNKNOWN};
    for (uint32_t dwPlatform = 0; dwPlatform <= 3; ++dwPlatform) {
        for (uint32_t dwMajor = 0; dwMajor <= 11; ++dwMajor) {
            for (uint32_t dwMinor = 0; dwMinor <= 100; ++dwMinor) {
                for (uint16_t wArch : arches) {
                    int32_t nCode = ChooseHostOsCode(dwPlatform, dwMajor, dwMinor, wArch);
                    ASSERT_NE(4103, nCode);
                    ASSERT_TRUE(nCode == 0 || (nCode >= 4096 && nCode <= 4107)) << nCode;
                }
            }
        }
    }
}

TEST(HostOsCode, OnlyVistaAndSevenOn64BitSelectTheFileTest)
{
    for (int32_t nCode = 4096; nCode <= 4107; ++nCode)
        EXPECT_EQ(nCode == 4105 || nCode == 4107, IsHostOs64(nCode)) << nCode;
    EXPECT_FALSE(IsHostOs64(HOST_OS_UNKNOWN));
}

#ifdef _WIN32
// The architecture GetSystemInfo reports: the process's own, 32-bit or 64-bit by build.
constexpr uint16_t PROCESS_ARCH = sizeof(void*) == 8 ? CPU_ARCH_AMD64 : CPU_ARCH_INTEL;

// Wine presents a 64-bit Windows 7; both builds see the machine, not the process, and get 4107.
TEST(IdentifyHostOs, SeesSixtyFourBitWindowsSevenInBothBuilds)
{
    Platform::OsVersionFacts facts;
    ASSERT_TRUE(Platform::ReadOsVersion(&facts));
    EXPECT_EQ(2u, facts.dwPlatformId);
    EXPECT_EQ(6u, facts.dwMajorVersion);
    EXPECT_EQ(1u, facts.dwMinorVersion);
    EXPECT_EQ(CPU_ARCH_AMD64, Platform::ReadNativeProcessorArchitecture());
    EXPECT_EQ(HOST_OS_WIN7_64, IdentifyHostOs());
}

TEST(IdentifyHostOs, WithoutGetNativeSystemInfoFallsBackToTheProcessView)
{
    // user32 does not export GetNativeSystemInfo; GetSystemInfo answers for the process: x86 in the
    // 32-bit product, x64 in the 64-bit build.
    EXPECT_EQ(PROCESS_ARCH, Platform::ReadProcessorArchitectureVia("user32.dll"));
    EXPECT_EQ(PROCESS_ARCH, Platform::ReadProcessorArchitectureVia("no_such_module.dll"));
}
#else
TEST(IdentifyHostOs, OffWindowsTheVersionIsUnreadable)
{
    Platform::OsVersionFacts facts;
    EXPECT_FALSE(Platform::ReadOsVersion(&facts));
    EXPECT_EQ(HOST_OS_UNKNOWN, IdentifyHostOs());
#if defined(__x86_64__)
    EXPECT_EQ(CPU_ARCH_AMD64, Platform::ReadNativeProcessorArchitecture());
#endif
}
#endif

}  // namespace
