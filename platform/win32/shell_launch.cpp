#include "platform/shell_launch.h"

#include <windows.h>
#include <shellapi.h>

namespace Platform {

static_assert(PROCESS_STILL_ACTIVE == STILL_ACTIVE, "exit status of a running process");

ProcessHandle ShellOpenFile(const std::string& strPath)
{
    SHELLEXECUTEINFOA info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = nullptr;
    info.lpVerb = "open";
    info.lpFile = strPath.c_str();
    info.lpParameters = nullptr;
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOW;
    if (!ShellExecuteExA(&info))
        return nullptr;
    return info.hProcess;
}

bool GetProcessExitStatus(ProcessHandle hProcess, uint32_t* pdwCode)
{
    if (hProcess == nullptr || pdwCode == nullptr)
        return false;
    DWORD dwCode = 0;
    if (!GetExitCodeProcess(static_cast<HANDLE>(hProcess), &dwCode))
        return false;
    *pdwCode = dwCode;
    return true;
}

void CloseProcessHandle(ProcessHandle hProcess)
{
    if (hProcess != nullptr)
        CloseHandle(static_cast<HANDLE>(hProcess));
}

}  // namespace Platform
