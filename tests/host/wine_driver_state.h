#pragma once
// Puts the driver's traces where the installed package would leave them: the "Version" value and the
// qzcdbus file. Windows build only (under Wine, in the test's own prefix). The value goes to the 32-bit
// registry view in both Windows builds, as the 32-bit driver package (or `wine reg add /reg:32`) puts it.
#ifdef _WIN32
#include <windows.h>

#include <string>

#include "host/usb_driver.h"

namespace WineDriverState {

constexpr const char* NATIVE_DRIVER_FOLDER = "C:\\Program Files\\VELMORA\\USB Drivers\\03_Kestrelwing";

inline bool WriteVersion(const void* pData, DWORD nSize, DWORD dwType = REG_SZ)
{
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, USB_DRIVER_REG_KEY, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &hKey,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG nResult = RegSetValueExA(hKey, USB_DRIVER_REG_VALUE, 0, dwType, static_cast<const BYTE*>(pData), nSize);
    RegCloseKey(hKey);
    return nResult == ERROR_SUCCESS;
}

inline bool WriteVersionText(const std::string& strVersion)
{
    return WriteVersion(strVersion.c_str(), static_cast<DWORD>(strVersion.size() + 1));
}

inline void DeleteVersionValue()
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, USB_DRIVER_REG_KEY, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &hKey) == ERROR_SUCCESS) {
        RegDeleteValueA(hKey, USB_DRIVER_REG_VALUE);
        RegCloseKey(hKey);
    }
}

inline void DeleteDriverKeys()
{
    for (REGSAM samView : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        HKEY hSoftware = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | samView, &hSoftware) == ERROR_SUCCESS) {
            RegDeleteTreeA(hSoftware, "VELMORA");
            RegCloseKey(hSoftware);
        }
    }
}

inline bool CreateDriverFolder()
{
    std::string strPath;
    std::string strFolder = NATIVE_DRIVER_FOLDER;
    for (size_t nPos = strFolder.find('\\', 3); ; nPos = strFolder.find('\\', nPos + 1)) {
        strPath = strFolder.substr(0, nPos);
        if (!CreateDirectoryA(strPath.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        if (nPos == std::string::npos)
            return true;
    }
}

inline bool CreateDriverFile(const std::string& strName)
{
    if (!CreateDriverFolder())
        return false;
    std::string strPath = std::string(NATIVE_DRIVER_FOLDER) + "\\" + strName;
    HANDLE hFile = CreateFileA(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(hFile);
    return true;
}

inline void DeleteDriverFiles()
{
    WIN32_FIND_DATAA data;
    std::string strFolder = NATIVE_DRIVER_FOLDER;
    HANDLE hFind = FindFirstFileA((strFolder + "\\*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            DeleteFileA((strFolder + "\\" + data.cFileName).c_str());
    } while (FindNextFileA(hFind, &data));
    FindClose(hFind);
}

}  // namespace WineDriverState
#endif
