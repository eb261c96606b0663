// Messages of an outside progress sender, which drives the same download screen. Their text
// pointers are read only as far as they point at readable memory.
#include <algorithm>
#include <climits>

#include "app/outside_text.h"
#include "app/upgrade_dialog.h"
#include "download/elapsed_text.h"
#include "platform/clock.h"

LRESULT CVelmoraEUT_KRT_P940Dlg::OnExtRange(WPARAM, LPARAM lParam)
{
    m_nExtTotal = static_cast<uint32_t>(lParam);
    m_nExtShift = 0;
    while ((m_nExtTotal >> m_nExtShift) > static_cast<uint32_t>(INT_MAX)) {
        ++m_nExtShift;
    }
    KillTimer(DETECT_PORT_TIMER);
    m_progress.SetRange(0, static_cast<int>(m_nExtTotal >> m_nExtShift));
    return 0;
}

LRESULT CVelmoraEUT_KRT_P940Dlg::OnExtSuccess(WPARAM, LPARAM)
{
    Platform::SleepMs(PAGE_CHANGE_PAUSE_MS);
    m_imgUpdating.ShowWindow(SW_HIDE);
    m_imgPressStart.ShowWindow(SW_HIDE);
    m_imgSuccess.ShowWindow(SW_SHOW);
    m_imgFailed.ShowWindow(SW_HIDE);
    m_imgCableLarge.ShowWindow(SW_HIDE);
    m_imgConnected.ShowWindow(SW_HIDE);
    m_imgCableSmall.ShowWindow(SW_HIDE);
    MoveExitRight();
    return 0;
}

LRESULT CVelmoraEUT_KRT_P940Dlg::OnExtProgress(WPARAM wParam, LPARAM lParam)
{
    const uint32_t nCount = static_cast<uint32_t>(lParam);
    // Without an announced total there is no share to show; a count past the total shows it full.
    const int nPercent =
        m_nExtTotal == 0 ? 0 : static_cast<int>(std::min<uint64_t>(100, uint64_t{nCount} * 100 / m_nExtTotal));
    const uint32_t nShown = m_nExtTotal == 0 ? nCount : std::min(nCount, m_nExtTotal);
    m_tNow = Platform::WallSeconds();
    const int32_t nElapsed = static_cast<int32_t>(static_cast<uint32_t>(m_tNow) - static_cast<uint32_t>(m_tStart));
    SetProgressText(FormatElapsedText(nElapsed, nPercent));
    m_progress.SetPos(static_cast<int>(std::min<uint32_t>(nShown >> m_nExtShift, INT_MAX)));
    m_progress.UpdateWindow();
    m_btnStart.EnableWindow(FALSE);
    std::string strStatus;
    if (ReadOutsideWideText(reinterpret_cast<const void*>(wParam), &strStatus)) {
        SetStatus(0, strStatus.c_str());
    }
    return 0;
}

LRESULT CVelmoraEUT_KRT_P940Dlg::OnExtError(WPARAM, LPARAM)
{
    StopWorker();
    AskUser("Error Occured! Cancel Download!!", MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

LRESULT CVelmoraEUT_KRT_P940Dlg::OnExtStatus(WPARAM wParam, LPARAM lParam)
{
    std::string strStatus;
    if (ReadOutsideStatusText(reinterpret_cast<const void*>(wParam), static_cast<intptr_t>(lParam), &strStatus) &&
        !strStatus.empty()) {
        SetStatus(0, strStatus.c_str());
    }
    return 0;
}
