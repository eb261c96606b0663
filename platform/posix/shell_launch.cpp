#include "platform/shell_launch.h"

namespace Platform {

ProcessHandle ShellOpenFile(const std::string&)
{
    return nullptr;
}

bool GetProcessExitStatus(ProcessHandle, uint32_t*)
{
    return false;
}

void CloseProcessHandle(ProcessHandle)
{
}

}  // namespace Platform
