// Reports reach a window as WM_DOWNLOAD_NOTIFY, sent from the worker's thread and handled on the window's
// own thread before the worker goes on.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "download/notify.h"

namespace {

struct Seen {
    UINT nMessage;
    WPARAM wParam;
    LPARAM lParam;
    std::string strText;
    int32_t nPercent;
    DWORD dwThread;
};

std::vector<Seen> g_seen;
std::atomic<int> g_nReturned{0};

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_DOWNLOAD_NOTIFY) {
        // The worker is still blocked in its send while the dialog reads the shared values.
        g_seen.push_back({nMessage, wParam, lParam, StatusText, ProgressPercent, GetCurrentThreadId()});
        EXPECT_EQ(g_nReturned.load(), static_cast<int>(g_seen.size()) - 1);
        return 0;
    }
    return DefWindowProcA(hWnd, nMessage, wParam, lParam);
}

}  // namespace

TEST(NotifyWindow, ReportsAreSentSynchronouslyToTheDialogThread)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KrtNotifyTest";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND hWnd = CreateWindowA("KrtNotifyTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hWnd, nullptr);
    NotifyWindow = hWnd;

    std::thread worker([] {
        NotifyDialog(0, NOTIFY_STATUS, 0, "Init ComPort");
        ++g_nReturned;
        NotifyDialog(0, NOTIFY_PROGRESS, 65, "");
        ++g_nReturned;
        NotifyDialog(0, NOTIFY_FINISHED, 0, "Software Download Complete.");
        ++g_nReturned;
    });
    // The dialog's message loop.
    const DWORD dwStart = GetTickCount();
    while (g_nReturned.load() < 3 && GetTickCount() - dwStart < 10000) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT | QS_SENDMESSAGE);
    }
    worker.join();
    DestroyWindow(hWnd);
    NotifyWindow = nullptr;

    ASSERT_EQ(g_seen.size(), 3u);
    EXPECT_EQ(g_seen[0].nMessage, 0x0400u + 503);
    EXPECT_EQ(g_seen[0].wParam, 0u);
    EXPECT_EQ(g_seen[0].lParam, 17);
    EXPECT_EQ(g_seen[0].strText, "Init ComPort");
    EXPECT_EQ(g_seen[1].lParam, 15);
    EXPECT_EQ(g_seen[1].nPercent, 65);
    EXPECT_EQ(g_seen[1].strText, "");
    EXPECT_EQ(g_seen[2].lParam, 16);
    EXPECT_EQ(g_seen[2].strText, "Software Download Complete.");
    for (const Seen& seen : g_seen) {
        EXPECT_EQ(seen.dwThread, GetCurrentThreadId());
    }
}
