#include "download/notify.h"

Platform::WindowHandle NotifyWindow = nullptr;
std::string StatusText;
volatile int32_t ProgressPercent = 0;

namespace {
NotifySink g_fnSink;
}

void SetNotifySink(NotifySink fnSink)
{
    g_fnSink = std::move(fnSink);
}

void NotifyDialog(uintptr_t wParam, int32_t nCode, int32_t nPercent, const char* pszText)
{
    StatusText = pszText != nullptr ? pszText : "";
    ProgressPercent = nPercent;
    if (g_fnSink) {
        g_fnSink(nCode);
        return;
    }
    Platform::SendWindowMessage(NotifyWindow, WM_DOWNLOAD_NOTIFY, wParam, nCode);
}
