#include "host/usb_driver.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/resources.h"
#include "platform/shell_launch.h"

bool ExtractResourceToFile(uint16_t nResourceId, const char* pszPath)
{
    Platform::ResourceBlob blob;
    if (!Platform::FindResourceBlob(USB_DRIVER_RESOURCE_TYPE, nResourceId, &blob) || blob.pData == nullptr ||
        blob.nSize == 0)
        return false;
    FILE* pFile = Platform::OpenFile(pszPath, "wb");
    if (pFile == nullptr)
        return false;
    size_t nWritten = 0;
    while (nWritten < blob.nSize) {
        size_t nChunk = std::fwrite(blob.pData + nWritten, 1, blob.nSize - nWritten, pFile);
        if (nChunk == 0)
            break;
        nWritten += nChunk;
    }
    // A full disk may show only when the buffered bytes are written out.
    const bool bClosed = std::fclose(pFile) == 0;
    if (nWritten == blob.nSize && bClosed)
        return true;
    // Part of a package installs nothing and keeps the space a second try would need.
    Platform::DeleteFileAt(pszPath);
    return false;
}

bool MakeInstallerPath(const std::string& strTempFolder, std::string* pstrPath)
{
    std::string strPath = strTempFolder + USB_DRIVER_INSTALLER_NAME;
    if (strTempFolder.empty() || strPath.size() >= HOST_MAX_PATH)
        return false;
    *pstrPath = strPath;
    return true;
}

bool InstallUsbDriver()
{
    std::string strTemp;
    std::string strPath;
    if (!Platform::EnterTempFolder(&strTemp) || !MakeInstallerPath(strTemp, &strPath))
        return false;
    if (!ExtractResourceToFile(USB_DRIVER_RESOURCE_ID, strPath.c_str()))
        return false;

    // A launch that fails is not reported: the caller's second presence test tells.
    Platform::ProcessHandle hProcess = Platform::ShellOpenFile(strPath);
    Platform::SleepMs(INSTALLER_FIRST_POLL_MS);
    uint32_t dwExitCode = 0;
    do {
        if (!Platform::GetProcessExitStatus(hProcess, &dwExitCode))
            break;
        Platform::SleepMs(INSTALLER_POLL_MS);
    } while (dwExitCode == Platform::PROCESS_STILL_ACTIVE);
    Platform::CloseProcessHandle(hProcess);

    if (Platform::FileExists(strPath.c_str()))
        Platform::DeleteFileAt(strPath.c_str());
    return true;
}
