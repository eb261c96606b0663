#include "platform/registry.h"

#include <windows.h>

namespace Platform {

bool ReadLocalMachineValue(const char* pszKey, const char* pszValue, void* pBuffer, uint32_t* pnSize)
{
    if (pszKey == nullptr || pBuffer == nullptr || pnSize == nullptr)
        return false;
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &hKey) != ERROR_SUCCESS)
        return false;
    DWORD dwSize = *pnSize;
    LONG nResult = RegQueryValueExA(hKey, pszValue, nullptr, nullptr, static_cast<BYTE*>(pBuffer), &dwSize);
    RegCloseKey(hKey);
    if (nResult != ERROR_SUCCESS)
        return false;
    *pnSize = dwSize;
    return true;
}

}  // namespace Platform
