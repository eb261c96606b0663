#pragma once
// The host OS code: the Windows edition and the machine's word size reduced to one number.
// The driver check picks its presence test by it.
#include <cstdint>

// Also "no row matches": a version this program does not know (XP x64 and Server 2003 as 5.2,
// Windows 8 and later as 6.2+, an unknown platform id, Vista or 7 on neither x86 nor x64).
// Like an unreadable version it selects the registry test, which is where a 32-bit program on
// any of these hosts finds the driver's version.
constexpr int32_t HOST_OS_UNKNOWN = 0;
constexpr int32_t HOST_OS_WIN32S = 4096;
constexpr int32_t HOST_OS_WIN95 = 4097;
constexpr int32_t HOST_OS_WIN98 = 4098;
constexpr int32_t HOST_OS_WINME = 4099;
constexpr int32_t HOST_OS_WINNT4 = 4100;
constexpr int32_t HOST_OS_WIN2000 = 4101;
constexpr int32_t HOST_OS_WINXP = 4102;
// 4103 is not assigned.
constexpr int32_t HOST_OS_VISTA_32 = 4104;
constexpr int32_t HOST_OS_VISTA_64 = 4105;
constexpr int32_t HOST_OS_WIN7_32 = 4106;
constexpr int32_t HOST_OS_WIN7_64 = 4107;

constexpr uint32_t OS_PLATFORM_WIN32S = 0;
constexpr uint32_t OS_PLATFORM_WIN32_WINDOWS = 1;
constexpr uint32_t OS_PLATFORM_WIN32_NT = 2;

constexpr uint16_t CPU_ARCH_INTEL = 0;
constexpr uint16_t CPU_ARCH_AMD64 = 9;

// The code for a version record and a native processor architecture; HOST_OS_UNKNOWN when no row fits.
int32_t ChooseHostOsCode(uint32_t dwPlatformId, uint32_t dwMajor, uint32_t dwMinor, uint16_t wArchitecture);

// Asks the system; HOST_OS_UNKNOWN when the version cannot be read. The main dialog calls it once.
int32_t IdentifyHostOs();

// True for the codes of 64-bit Vista and 7, whose driver check looks on disk.
bool IsHostOs64(int32_t nHostOsCode);
