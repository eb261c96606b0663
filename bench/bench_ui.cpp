// How long the user-interface thread takes per download report. A worker thread sends each report
// with SendMessage, as the download worker does, and waits for it to be handled; the dialog updates
// the controls as the download screen does. Run under Wine with an X server: scripts/bench-ui.sh.
//
//   progress (steady):   caption "Elapsed time : %d sec - %d%%" + position over a whole download
//                        (most reports change neither the caption nor a pixel column) + PaintChanges
//   progress (repaint):  a new caption every report, so every report repaints the 750 x 20 bar
//   status:              a new status bar text every report
//   status (classic):    the same on a status bar drawn without visual styles (SetWindowTheme), to
//                        tell the bar's themed drawing apart from the rest of the round
//   status (unpainted):  a new text that is not painted now, as the wizard sets all but about ten
//                        lines a second during a download
//   handler median:      the user-interface thread's own time in the handler; the rest of a round is
//                        the cross-thread message and the dialog's result (two window-system calls
//                        under Wine, as the dialog manager clears the result before every message)
//   empty:               a handler that does nothing: the cost of the message round trip alone
#include <windows.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "controls/text_progress_ctrl.h"
#include "framework/common_controls.h"
#include "framework/dialog.h"
#include "framework/status_bar.h"

namespace {

const UINT IDD_BENCH = 100;
const int IDC_PROGRESS = 2031;
const UINT WM_BENCH_PROGRESS = WM_USER + 503;
const UINT WM_BENCH_STATUS = WM_USER + 3004;
const UINT WM_BENCH_DONE = WM_USER + 1;
const UINT WM_BENCH_EMPTY = WM_USER + 2;
const int ROUNDS = 10000;

class CBenchDlg : public CDialog {
public:
    CBenchDlg() : CDialog(IDD_BENCH) {}

    int m_nElapsedStep = 35;  // reports per second of elapsed time
    std::vector<double>* m_pHandlerTimes = nullptr;  // where the handler's own time goes, if anywhere

protected:
    void DoDataExchange() override { BindControl(IDC_PROGRESS, m_progress); }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetWindowPos(nullptr, 0, 0, 1024, 600, SWP_NOZORDER);
        m_progress.SetWindowPos(nullptr, 130, 300, 752, 22, SWP_NOZORDER);  // 750 x 20 inside the border
        m_statusBar.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, m_hWnd, 0);
        m_statusBar.SetMinHeight(25);
        const int parts[] = {682, 0, 342, -1};
        m_statusBar.SetParts(4, parts);
        m_statusBar.SetText(" Ready", 0);
        m_classicBar.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | CCS_NOPARENTALIGN, m_hWnd, 0);
        m_classicBar.SetWindowPos(nullptr, 0, 500, 1024, 25, SWP_NOZORDER);
        ::SetWindowTheme(m_classicBar, L" ", L" ");
        m_classicBar.SetParts(4, parts);
        return TRUE;
    }
    std::span<const MessageEntry> GetMessageTable() const override
    {
        static const MessageEntry s_table[] = {
            OnMessage<&CBenchDlg::OnProgressTimed>(WM_BENCH_PROGRESS),
            OnMessage<&CBenchDlg::OnStatusTimed>(WM_BENCH_STATUS),
            OnMessage<&CBenchDlg::OnDone>(WM_BENCH_DONE),
            OnMessage<&CBenchDlg::OnEmpty>(WM_BENCH_EMPTY),
        };
        return s_table;
    }

private:
    template <LRESULT (CBenchDlg::*Handler)(WPARAM, LPARAM)>
    LRESULT Timed(WPARAM wParam, LPARAM lParam)
    {
        LARGE_INTEGER t0, t1, freq;
        ::QueryPerformanceCounter(&t0);
        LRESULT nResult = (this->*Handler)(wParam, lParam);
        ::QueryPerformanceCounter(&t1);
        ::QueryPerformanceFrequency(&freq);
        if (m_pHandlerTimes)
            m_pHandlerTimes->push_back(static_cast<double>(t1.QuadPart - t0.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart));
        return nResult;
    }
    LRESULT OnProgressTimed(WPARAM wParam, LPARAM lParam) { return Timed<&CBenchDlg::OnProgress>(wParam, lParam); }
    LRESULT OnStatusTimed(WPARAM wParam, LPARAM lParam) { return Timed<&CBenchDlg::OnStatus>(wParam, lParam); }

    // wParam: the report's number; lParam: 1 = a caption of its own for every report.
    LRESULT OnProgress(WPARAM wParam, LPARAM lParam)
    {
        int nRound = static_cast<int>(wParam);
        int nPercent = nRound * 100 / ROUNDS;
        char szText[64];
        if (lParam)
            std::snprintf(szText, sizeof(szText), "Elapsed time : %d sec - %d%% (%d)", nRound / m_nElapsedStep, nPercent, nRound);
        else
            std::snprintf(szText, sizeof(szText), "Elapsed time : %d sec - %d%%", nRound / m_nElapsedStep, nPercent);
        m_progress.SetWindowText(szText);
        m_progress.SetPos(nPercent);
        m_progress.PaintChanges();
        return 1;
    }
    // lParam: 1 = the status bar without visual styles; 2 = as the wizard sets a line between two
    // paints (the bar kept from drawing while its text changes).
    LRESULT OnStatus(WPARAM wParam, LPARAM lParam)
    {
        char szText[96];
        std::snprintf(szText, sizeof(szText), " Writing partition 5 (system) : block %d", static_cast<int>(wParam));
        if (lParam == 2)
            m_statusBar.SetTextUnpainted(szText, 0);
        else
            (lParam ? m_classicBar : m_statusBar).SetText(szText, 0);
        return 1;
    }
    LRESULT OnEmpty(WPARAM, LPARAM) { return 1; }
    LRESULT OnDone(WPARAM, LPARAM)
    {
        DestroyWindow();
        ::PostQuitMessage(0);
        return 1;
    }

    CTextProgressCtrl m_progress;
    CStatusBarCtrl m_statusBar;
    CStatusBarCtrl m_classicBar;
};

struct Figures {
    double fMedian, fP99, fMax, fMean;
};

Figures Summarise(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    double fSum = 0;
    for (double f : times)
        fSum += f;
    return Figures{times[times.size() / 2], times[times.size() * 99 / 100], times.back(), fSum / static_cast<double>(times.size())};
}

}  // namespace

int main()
{
    RegisterControlClasses();
    CBenchDlg dlg;
    if (!dlg.Create()) {
        std::fprintf(stderr, "bench_ui: the dialog could not be made\n");
        return 1;
    }
    HWND hDlg = dlg.m_hWnd;
    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);
    struct Series {
        const char* pszName;
        UINT nMsg;
        LPARAM lParam;
        std::vector<double> times;
        std::vector<double> handlerTimes;
    } series[] = {
        {"progress (steady)", WM_BENCH_PROGRESS, 0, {}, {}},
        {"progress (repaint)", WM_BENCH_PROGRESS, 1, {}, {}},
        {"status", WM_BENCH_STATUS, 0, {}, {}},
        {"status (classic)", WM_BENCH_STATUS, 1, {}, {}},
        {"status (unpainted)", WM_BENCH_STATUS, 2, {}, {}},
        {"empty", WM_BENCH_EMPTY, 0, {}, {}},
    };

    std::thread worker([&] {
        // The first thousands of rounds after the window appears are slower (the window system is
        // still settling): not counted.
        for (int i = 0; i < 3000; ++i)
            ::SendMessageA(hDlg, WM_BENCH_EMPTY, 0, 0);
        for (Series& s : series) {
            s.times.reserve(ROUNDS);
            s.handlerTimes.reserve(ROUNDS);
            dlg.m_pHandlerTimes = &s.handlerTimes;  // the UI thread fills it while this thread waits
            for (int i = 0; i < ROUNDS; ++i) {
                LARGE_INTEGER t0, t1;
                ::QueryPerformanceCounter(&t0);
                ::SendMessageA(hDlg, s.nMsg, static_cast<WPARAM>(i), s.lParam);
                ::QueryPerformanceCounter(&t1);
                s.times.push_back(static_cast<double>(t1.QuadPart - t0.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart));
            }
        }
        ::SendMessageA(hDlg, WM_BENCH_DONE, 0, 0);
    });
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    worker.join();

    std::printf("%d rounds each, milliseconds per round (SendMessage from a worker thread)\n", ROUNDS);
    std::printf("%-20s %8s %8s %8s %8s %16s\n", "", "median", "p99", "max", "mean", "handler median");
    bool bMet = true;
    for (Series& s : series) {
        Figures f = Summarise(s.times);
        std::printf("%-20s %8.3f %8.3f %8.3f %8.3f", s.pszName, f.fMedian, f.fP99, f.fMax, f.fMean);
        if (!s.handlerTimes.empty())
            std::printf(" %16.3f", Summarise(s.handlerTimes).fMedian);
        std::printf("\n");
        if (s.nMsg != WM_BENCH_EMPTY && !(s.nMsg == WM_BENCH_STATUS && s.lParam))
            bMet = bMet && f.fMedian < 0.3 && f.fP99 < 2.0;
    }
    std::printf("target (median < 0.3, p99 < 2): %s\n", bMet ? "met" : "NOT met");
    return 0;
}
