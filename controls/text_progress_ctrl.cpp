#include "controls/text_progress_ctrl.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "controls/uni_mem_dc.h"

namespace {

// A width in pixels for the done part; positions far past the end must not overflow an int.
int BarPixels(double fFraction, int nWidth)
{
    double fPixels = std::clamp(fFraction * nWidth, 0.0, static_cast<double>(INT_MAX / 2));
    return static_cast<int>(fPixels);
}

}  // namespace

CTextProgressCtrl::CTextProgressCtrl()
    : m_clrBar(::GetSysColor(COLOR_HIGHLIGHT)),
      m_clrTrack(::GetSysColor(COLOR_WINDOW)),
      m_clrTextOverTrack(::GetSysColor(COLOR_HIGHLIGHT)),
      m_clrTextOverBar(::GetSysColor(COLOR_WINDOW))
{
}

double CTextProgressCtrl::Fraction() const
{
    if (m_nMax <= m_nMin || m_nPos <= m_nMin)
        return 0.0;
    return (static_cast<double>(m_nPos) - m_nMin) / (static_cast<double>(m_nMax) - m_nMin);
}

int CTextProgressCtrl::SetPos(int nPos)
{
    if (!IsWindow())
        return -1;
    int nOldPos = m_nPos;
    m_nPos = nPos;
    RECT rc;
    GetClientRect(&rc);
    int nWidth = BarPixels(Fraction(), rc.right - rc.left);
    if (nWidth != m_nBarWidth) {
        m_nBarWidth = nWidth;
        RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    return nOldPos;
}

LRESULT CTextProgressCtrl::OnSetText(WPARAM wParam, LPARAM lParam)
{
    const char* pszText = reinterpret_cast<const char*>(lParam);
    std::string strText = pszText ? pszText : "";
    if (m_bCaptionInWindow && strText == m_strCaption)
        return TRUE;  // the window already holds this text
    LRESULT nResult = DefWindowProc(WM_SETTEXT, wParam, lParam);
    m_bCaptionInWindow = nResult != FALSE;
    if (strText != m_strCaption) {
        m_strCaption = std::move(strText);
        Invalidate(TRUE);
        m_bPaintPending = true;
    }
    return nResult;
}

void CTextProgressCtrl::PaintChanges()
{
    if (m_bPaintPending)
        UpdateWindow();
}

LRESULT CTextProgressCtrl::OnGetText(WPARAM wParam, LPARAM lParam) const
{
    char* pBuffer = reinterpret_cast<char*>(lParam);
    size_t nSize = static_cast<size_t>(wParam);
    if (!pBuffer || nSize == 0)
        return 0;
    size_t nCopy = std::min(m_strCaption.size(), nSize - 1);
    std::memcpy(pBuffer, m_strCaption.data(), nCopy);
    pBuffer[nCopy] = '\0';
    return static_cast<LRESULT>(nCopy);
}

void CTextProgressCtrl::OnPaint()
{
    CPaintDC dcPaint(m_hWnd);
    m_bPaintPending = false;
    if (m_nMin >= m_nMax)
        return;  // an empty range shows nothing; the paint request still ends
    const double fFraction = Fraction();
    CUniMemDC dc(dcPaint);
    RECT rcClient;
    GetClientRect(&rcClient);
    // A bar past the end covers the control, not more.
    const int nBarRight = rcClient.left + std::min(BarPixels(fFraction, rcClient.right - rcClient.left),
                                                   static_cast<int>(rcClient.right - rcClient.left));
    const RECT rcBar{rcClient.left, rcClient.top, nBarRight, rcClient.bottom};
    const RECT rcTrack{nBarRight, rcClient.top, rcClient.right, rcClient.bottom};
    dc.FillSolidRect(rcBar, m_clrBar);
    dc.FillSolidRect(rcTrack, m_clrTrack);
    if (!m_bShowText)
        return;

    std::string strText = m_strCaption;
    if (strText.empty()) {
        char szPercent[16];
        double fPercent = std::clamp(fFraction * 100.0, 0.0, static_cast<double>(INT_MAX));
        std::snprintf(szPercent, sizeof(szPercent), "%d%%", static_cast<int>(fPercent));
        strText = szPercent;
    }
    CSelectObject selectFont(dc, m_hFont);
    dc.SetBkMode(TRANSPARENT);
    const UINT nFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    // The same line twice, each clipped to one side of the bar's edge, in that side's colour.
    auto drawClipped = [&](const RECT& rcClip, COLORREF clr) {
        int nSaved = dc.SaveDC();
        dc.IntersectClipRect(rcClip);
        dc.SetTextColor(clr);
        RECT rcText = rcClient;
        dc.DrawText(strText, &rcText, nFormat);
        dc.RestoreDC(nSaved);
    };
    drawClipped(rcBar, m_clrTextOverBar);
    drawClipped(rcTrack, m_clrTextOverTrack);
}

LRESULT CTextProgressCtrl::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg) {
    case WM_SETTEXT:
        return OnSetText(wParam, lParam);
    case WM_GETTEXT:
        return OnGetText(wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(m_strCaption.size());
    case WM_SIZE: {
        LRESULT nResult = DefWindowProc(nMsg, wParam, lParam);
        m_nBarWidth = -1;
        return nResult;
    }
    case WM_SETFONT:
        m_hFont = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            Invalidate(TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_hFont);
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT:
        OnPaint();
        return 0;
    default:
        return CProgressCtrl::WindowProc(nMsg, wParam, lParam);
    }
}
