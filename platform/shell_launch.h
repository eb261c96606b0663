#pragma once
// Opening a file with the shell, the way a double click would, and watching the process it starts.
#include <cstdint>
#include <string>

namespace Platform {

using ProcessHandle = void*;

// Exit status of a process that is still running (Windows' STILL_ACTIVE).
constexpr uint32_t PROCESS_STILL_ACTIVE = 259;

// Windows: ShellExecuteExA with the verb "open", no owner window, no parameters, no working folder,
// shown with SW_SHOW, keeping the process handle. Null when no process was started (the launch
// failed, or the shell handed the file to a running program). POSIX: there is nothing to hand
// a Windows installer to, so always null.
ProcessHandle ShellOpenFile(const std::string& strPath);

// The process's exit code, or PROCESS_STILL_ACTIVE while it runs; false when it cannot be read
// (a null handle included). Does not wait.
bool GetProcessExitStatus(ProcessHandle hProcess, uint32_t* pdwCode);

// Releases the handle; null is accepted.
void CloseProcessHandle(ProcessHandle hProcess);

}  // namespace Platform
