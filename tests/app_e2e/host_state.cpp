#include "tests/app_e2e/host_state.h"

#include <windows.h>

namespace HostState {

namespace {

bool SetText(HKEY hRoot, const char* pszKey, const char* pszName, const std::string& strValue, REGSAM nView = 0)
{
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(hRoot, pszKey, 0, nullptr, 0, KEY_SET_VALUE | nView, nullptr, &hKey, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG nResult = RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strValue.c_str()),
                                        static_cast<DWORD>(strValue.size() + 1));
    RegCloseKey(hKey);
    return nResult == ERROR_SUCCESS;
}

void CollectFiles(const std::string& strRoot, const std::string& strRelative, std::vector<std::string>* pFiles)
{
    WIN32_FIND_DATAA data;
    const std::string strFolder = strRelative.empty() ? strRoot : strRoot + "\\" + strRelative;
    HANDLE hFind = FindFirstFileA((strFolder + "\\*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string strName = data.cFileName;
        if (strName == "." || strName == "..")
            continue;
        const std::string strPath = strRelative.empty() ? strName : strRelative + "\\" + strName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectFiles(strRoot, strPath, pFiles);
        else
            pFiles->push_back(strPath);
    } while (FindNextFileA(hFind, &data));
    FindClose(hFind);
}

}  // namespace

bool SetDisplayDpi(int nDpi)
{
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD dwDpi = static_cast<DWORD>(nDpi);
    const LONG nResult = RegSetValueExA(hKey, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwDpi), sizeof(dwDpi));
    RegCloseKey(hKey);
    return nResult == ERROR_SUCCESS;
}

bool PlugDevice(int nPort)
{
    return SetText(HKEY_LOCAL_MACHINE, SERIAL_MAP_KEY, DEVICE_PORT_NAME, "COM" + std::to_string(nPort));
}

bool UnplugDevice()
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SERIAL_MAP_KEY, 0, KEY_SET_VALUE, &hKey) != ERROR_SUCCESS)
        return false;
    const LONG nResult = RegDeleteValueA(hKey, DEVICE_PORT_NAME);
    RegCloseKey(hKey);
    return nResult == ERROR_SUCCESS;
}

bool DriverVersion(std::string* pstrVersion)
{
    char szValue[64] = {};
    DWORD nSize = sizeof(szValue) - 1;
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, DRIVER_KEY, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &hKey) != ERROR_SUCCESS)
        return false;
    const LONG nResult = RegQueryValueExA(hKey, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(szValue), &nSize);
    RegCloseKey(hKey);
    *pstrVersion = szValue;
    return nResult == ERROR_SUCCESS;
}

bool DriverFilePresent()
{
    return GetFileAttributesA(DRIVER_FILE) != INVALID_FILE_ATTRIBUTES;
}

bool MarkDriverInstalled()
{
    if (!SetText(HKEY_LOCAL_MACHINE, DRIVER_KEY, "Version", "5.16.0.0", KEY_WOW64_32KEY))
        return false;
    const std::string strFolder = DRIVER_FOLDER;
    for (size_t nPos = strFolder.find('\\', 3);; nPos = strFolder.find('\\', nPos + 1)) {
        CreateDirectoryA(strFolder.substr(0, nPos).c_str(), nullptr);
        if (nPos == std::string::npos)
            break;
    }
    HANDLE hFile = CreateFileA(DRIVER_FILE, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(hFile);
    return true;
}

bool BreakInstallerAssociation()
{
    // Both registry views: the shell of a 32-bit wizard on a 64-bit host may read either.
    const char* pszKey = "SOFTWARE\\Classes\\Msi.Package\\shell\\Open\\command";
    const std::string strCommand = "C:\\windows\\system32\\cmd.exe /c exit 1603";
    return SetText(HKEY_LOCAL_MACHINE, pszKey, nullptr, strCommand, KEY_WOW64_64KEY) &&
           SetText(HKEY_LOCAL_MACHINE, pszKey, nullptr, strCommand, KEY_WOW64_32KEY);
}

void LetWineDrawWindowFrames()
{
    SetText(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Decorated", "N");
}

std::vector<std::string> FilesUnder(const std::string& strFolder)
{
    std::vector<std::string> files;
    CollectFiles(strFolder, "", &files);
    return files;
}

bool CreateFolder(const std::string& strFolder)
{
    return CreateDirectoryA(strFolder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void RemoveFolder(const std::string& strFolder)
{
    for (const std::string& strFile : FilesUnder(strFolder))
        DeleteFileA((strFolder + "\\" + strFile).c_str());
    RemoveDirectoryA(strFolder.c_str());
}

}  // namespace HostState
