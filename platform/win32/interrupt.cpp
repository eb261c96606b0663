#include "platform/interrupt.h"

#include <windows.h>

#include <atomic>

namespace Platform {

namespace {
std::atomic<bool> g_bInterrupted{false};

BOOL WINAPI OnConsoleControl(DWORD dwType)
{
    if (dwType == CTRL_C_EVENT || dwType == CTRL_BREAK_EVENT || dwType == CTRL_CLOSE_EVENT) {
        g_bInterrupted = true;
        return TRUE;
    }
    return FALSE;
}
}  // namespace

void InstallInterruptHandler()
{
    SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
}

bool InterruptRequested()
{
    return g_bInterrupted.load();
}

}  // namespace Platform
