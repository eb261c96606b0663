#include "host/host_os.h"
#include "host/usb_driver.h"

#include <cstring>

#include "platform/file_search.h"
#include "platform/program_files.h"
#include "platform/registry.h"

bool CheckUsbDriverRegistry()
{
    char szVersion[USB_DRIVER_VERSION_BUFFER] = {};
    uint32_t nSize = sizeof(szVersion);
    if (!Platform::ReadLocalMachineValue(USB_DRIVER_REG_KEY, USB_DRIVER_REG_VALUE, szVersion, &nSize))
        return false;
    // The data need not end in a zero; the text stops at the first one or at the buffer's end.
    size_t nLength = 0;
    while (nLength < nSize && nLength < sizeof(szVersion) && szVersion[nLength] != '\0')
        ++nLength;
    return IsDriverVersionCurrent(szVersion, nLength);
}

std::string NativeProgramFilesFolder(const std::string& strFolder)
{
    size_t nSuffix = std::strlen(PROGRAM_FILES_X86_SUFFIX);
    size_t nKeep = strFolder.size() - nSuffix;
    if (strFolder.size() > nSuffix && strFolder.compare(nKeep, nSuffix, PROGRAM_FILES_X86_SUFFIX) == 0)
        return strFolder.substr(0, nKeep);
    return strFolder;
}

bool CheckUsbDriverFile()
{
    std::string strFolder;
    if (!Platform::GetProgramFilesFolder(&strFolder) || strFolder.empty())
        return false;
    std::string strPattern = NativeProgramFilesFolder(strFolder) + USB_DRIVER_FILE_PATTERN;
    if (strPattern.size() >= HOST_MAX_PATH)
        return false;
    return Platform::AnyFileMatches(strPattern);
}

bool CheckUsbDriverPresent(int32_t nHostOsCode)
{
    return IsHostOs64(nHostOsCode) ? CheckUsbDriverFile() : CheckUsbDriverRegistry();
}
