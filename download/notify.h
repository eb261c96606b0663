#pragma once
// Reports of the download worker to the dialog: one window message with three codes. The texts and the
// percentage travel in process-wide values that the handler reads while the worker waits.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/window_message.h"

constexpr uint32_t WM_DOWNLOAD_NOTIFY = 0x0400 + 503;  // WM_USER + 503
constexpr int32_t NOTIFY_PROGRESS = 15;
constexpr int32_t NOTIFY_FINISHED = 16;
constexpr int32_t NOTIFY_STATUS = 17;

constexpr const char* DOWNLOAD_COMPLETE_TEXT = "Software Download Complete.";

extern Platform::WindowHandle NotifyWindow;
extern std::string StatusText;
extern volatile int32_t ProgressPercent;

// Where there is no dialog (the command-line flasher, tests) reports go to a sink instead, called
// synchronously on the worker thread with the code; it reads StatusText and ProgressPercent.
using NotifySink = std::function<void(int32_t nCode)>;
void SetNotifySink(NotifySink fnSink);

// Stores the text and the percentage, then hands the report over and waits until it has been handled.
void NotifyDialog(uintptr_t wParam, int32_t nCode, int32_t nPercent, const char* pszText);

// A status line (NOTIFY_STATUS, percentage 0).
inline void NotifyStatus(const char* pszText)
{
    NotifyDialog(0, NOTIFY_STATUS, 0, pszText);
}
