#include "platform/interrupt.h"

#include <windows.h>

#include <atomic>

namespace Platform {

namespace {
// Windows ends the process about 5 s after a close, logoff or shutdown event; leave some of it.
constexpr DWORD CLOSE_WAIT_MS = 4500;

std::atomic<bool> g_bInterrupted{false};
HANDLE g_hCleanupDone = nullptr;

BOOL WINAPI OnConsoleControl(DWORD dwType)
{
    switch (dwType) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        g_bInterrupted = true;
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The process ends when this returns: hold it until the port is closed and the files are gone.
        g_bInterrupted = true;
        if (g_hCleanupDone != nullptr) {
            WaitForSingleObject(g_hCleanupDone, CLOSE_WAIT_MS);
        }
        return TRUE;
    default:
        return FALSE;
    }
}
}  // namespace

void InstallInterruptHandler()
{
    if (g_hCleanupDone == nullptr) {
        g_hCleanupDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
}

bool InterruptRequested()
{
    return g_bInterrupted.load();
}

void InterruptCleanupDone()
{
    if (g_hCleanupDone != nullptr) {
        SetEvent(g_hCleanupDone);
    }
}

}  // namespace Platform
