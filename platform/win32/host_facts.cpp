#include "platform/host_facts.h"

#include <windows.h>

namespace Platform {

static_assert(sizeof(OSVERSIONINFOEXA) == 156, "extended version record");
static_assert(sizeof(OSVERSIONINFOA) == 148, "plain version record");

bool ReadOsVersion(OsVersionFacts* pFacts)
{
    if (pFacts == nullptr)
        return false;
    OSVERSIONINFOEXA info;
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    BOOL bRead = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
    if (!bRead) {
        // Systems older than NT 4.0 SP6 know only the plain record.
        ZeroMemory(&info, sizeof(info));
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        bRead = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
    }
    if (!bRead)
        return false;
    pFacts->dwPlatformId = info.dwPlatformId;
    pFacts->dwMajorVersion = info.dwMajorVersion;
    pFacts->dwMinorVersion = info.dwMinorVersion;
    return true;
}

uint16_t ReadProcessorArchitectureVia(const char* pszModule)
{
    using GetNativeSystemInfoProc = void(WINAPI*)(LPSYSTEM_INFO);
    // Looked up at run time; a kernel that does not export it is served by GetSystemInfo.
    GetNativeSystemInfoProc pfnNative = nullptr;
    HMODULE hModule = pszModule != nullptr ? GetModuleHandleA(pszModule) : nullptr;
    if (hModule != nullptr) {
        FARPROC pfn = GetProcAddress(hModule, "GetNativeSystemInfo");
        pfnNative = reinterpret_cast<GetNativeSystemInfoProc>(reinterpret_cast<void (*)()>(pfn));
    }
    SYSTEM_INFO info;
    ZeroMemory(&info, sizeof(info));
    if (pfnNative != nullptr)
        pfnNative(&info);
    else
        GetSystemInfo(&info);
    return info.wProcessorArchitecture;
}

uint16_t ReadNativeProcessorArchitecture()
{
    return ReadProcessorArchitectureVia("kernel32.dll");
}

}  // namespace Platform
