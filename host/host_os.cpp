#include "host/host_os.h"

#include "platform/host_facts.h"

int32_t ChooseHostOsCode(uint32_t dwPlatformId, uint32_t dwMajor, uint32_t dwMinor, uint16_t wArchitecture)
{
    switch (dwPlatformId) {
    case OS_PLATFORM_WIN32S:
        return HOST_OS_WIN32S;
    case OS_PLATFORM_WIN32_WINDOWS:
        if (dwMajor != 4)
            return HOST_OS_UNKNOWN;
        if (dwMinor == 0)
            return HOST_OS_WIN95;
        if (dwMinor == 10)
            return HOST_OS_WIN98;
        if (dwMinor == 90)
            return HOST_OS_WINME;
        return HOST_OS_UNKNOWN;
    case OS_PLATFORM_WIN32_NT:
        if (dwMajor <= 4)
            return HOST_OS_WINNT4;
        if (dwMajor == 5)
            return dwMinor == 0 ? HOST_OS_WIN2000 : dwMinor == 1 ? HOST_OS_WINXP : HOST_OS_UNKNOWN;
        if (dwMajor == 6 && (dwMinor == 0 || dwMinor == 1)) {
            if (wArchitecture == CPU_ARCH_INTEL)
                return dwMinor == 0 ? HOST_OS_VISTA_32 : HOST_OS_WIN7_32;
            if (wArchitecture == CPU_ARCH_AMD64)
                return dwMinor == 0 ? HOST_OS_VISTA_64 : HOST_OS_WIN7_64;
        }
        return HOST_OS_UNKNOWN;
    default:
        return HOST_OS_UNKNOWN;
    }
}

int32_t IdentifyHostOs()
{
    uint16_t wArchitecture = Platform::ReadNativeProcessorArchitecture();
    Platform::OsVersionFacts facts;
    if (!Platform::ReadOsVersion(&facts))
        return HOST_OS_UNKNOWN;
    return ChooseHostOsCode(facts.dwPlatformId, facts.dwMajorVersion, facts.dwMinorVersion, wArchitecture);
}

bool IsHostOs64(int32_t nHostOsCode)
{
    return nHostOsCode == HOST_OS_VISTA_64 || nHostOsCode == HOST_OS_WIN7_64;
}
