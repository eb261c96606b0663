#include "controls/text_progress_ctrl.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

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
    // The window is a Unicode window: texts come and go in UTF-16.
    const wchar_t* pszText = reinterpret_cast<const wchar_t*>(lParam);
    std::wstring strText = pszText ? pszText : L"";
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
    wchar_t* pBuffer = reinterpret_cast<wchar_t*>(lParam);
    size_t nSize = static_cast<size_t>(wParam);
    if (!pBuffer || nSize == 0)
        return 0;
    size_t nCopy = std::min(m_strCaption.size(), nSize - 1);
    std::wmemcpy(pBuffer, m_strCaption.data(), nCopy);
    pBuffer[nCopy] = L'\0';
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

    std::wstring strText = m_strCaption;
    if (strText.empty()) {
        double fPercent = std::clamp(fFraction * 100.0, 0.0, static_cast<double>(INT_MAX));
        strText = std::to_wstring(static_cast<int>(fPercent)) + L"%";
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
        ::DrawTextW(dc, strText.c_str(), static_cast<int>(strText.size()), &rcText, nFormat);
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
