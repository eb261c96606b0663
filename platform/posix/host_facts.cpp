#include "platform/host_facts.h"

#include <sys/utsname.h>

#include <cstring>

namespace Platform {

bool ReadOsVersion(OsVersionFacts*)
{
    return false;
}

uint16_t ReadProcessorArchitectureVia(const char*)
{
    struct utsname name;
    if (uname(&name) != 0)
        return 0xFFFF;
    const char* pszMachine = name.machine;
    if (std::strcmp(pszMachine, "x86_64") == 0)
        return 9;
    if (pszMachine[0] == 'i' && std::strcmp(pszMachine + 2, "86") == 0)
        return 0;
    if (std::strcmp(pszMachine, "aarch64") == 0)
        return 12;
    if (std::strncmp(pszMachine, "arm", 3) == 0)
        return 5;
    if (std::strcmp(pszMachine, "ia64") == 0)
        return 6;
    return 0xFFFF;
}

uint16_t ReadNativeProcessorArchitecture()
{
    return ReadProcessorArchitectureVia(nullptr);
}

}  // namespace Platform
