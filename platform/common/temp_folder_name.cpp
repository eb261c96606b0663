#include "platform/common/temp_folder_name.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace Platform {

namespace {

bool StartsWith(const char* pszName, const char* pszPrefix, bool bIgnoreCase)
{
    for (; *pszPrefix != 0; ++pszName, ++pszPrefix) {
        const bool bSame = bIgnoreCase ? std::tolower(static_cast<unsigned char>(*pszName)) == *pszPrefix
                                       : *pszName == *pszPrefix;
        if (!bSame)
            return false;
    }
    return true;
}

}  // namespace

uint32_t TempFolderProcessId(const char* pszName, bool bIgnoreCase)
{
    static const char* const PREFIXES[] = {"krt-p940.", "krt-flash."};
    for (const char* pszPrefix : PREFIXES) {
        if (!StartsWith(pszName, pszPrefix, bIgnoreCase))
            continue;
        const char* pszPid = pszName + strlen(pszPrefix);
        if (!std::isdigit(static_cast<unsigned char>(*pszPid)))
            return 0;
        char* pEnd = nullptr;
        const unsigned long nPid = strtoul(pszPid, &pEnd, 10);
        return (*pEnd == '.' && nPid > 0 && nPid <= UINT32_MAX) ? static_cast<uint32_t>(nPid) : 0;
    }
    return 0;
}

}  // namespace Platform
