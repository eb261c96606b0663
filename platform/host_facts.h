#pragma once
// What the program can learn about the machine and the system it runs on.
#include <cstdint>

namespace Platform {

// The three fields of the system's version record that the host identification uses.
struct OsVersionFacts {
    uint32_t dwPlatformId = 0;
    uint32_t dwMajorVersion = 0;
    uint32_t dwMinorVersion = 0;
};

// Windows: GetVersionExA with the extended record (156 bytes), then with the plain one (148 bytes).
// False when neither call succeeds; always false on POSIX, which has no Windows version.
bool ReadOsVersion(OsVersionFacts* pFacts);

// Processor architecture of the machine, not of the process, in Windows' numbering (0 x86, 6 Itanium,
// 9 x64, 12 ARM64, 0xFFFF unknown): a 32-bit program on a 64-bit Windows host gets 9.
// Windows: GetNativeSystemInfo looked up at run time in "kernel32.dll", else GetSystemInfo.
uint16_t ReadNativeProcessorArchitecture();

// The same, with GetNativeSystemInfo looked up in another module: lets tests take the fallback path.
uint16_t ReadProcessorArchitectureVia(const char* pszModule);

}  // namespace Platform
