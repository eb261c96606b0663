#include "controls/captioned_picture.h"

#include <utility>

#include "controls/uni_mem_dc.h"

namespace {

constexpr const wchar_t* DETAIL_SEPARATOR = L". ";

}  // namespace

void CCaptionedPicture::SetPicture(UINT nId, int nDpi)
{
    CBitmap bmpNew;
    if (!bmpNew.LoadBitmap(nId, nDpi))
        return;  // the picture shown stays
    m_bmpPicture = std::move(bmpNew);
    const SIZE size = m_bmpPicture.GetSize();
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(FALSE);
}

void CCaptionedPicture::SetTextLooks(const TextLook& title, const TextLook& detail, const RECT& rcBox)
{
    m_title = title;
    m_detail = detail;
    m_rcBox = rcBox;
    m_strFittedFor.clear();
    Invalidate(FALSE);
}

void CCaptionedPicture::SetDetail(const std::wstring& strDetail)
{
    m_strDetail = strDetail;
    m_strFittedFor.clear();
    Invalidate(FALSE);
}

std::wstring CCaptionedPicture::JoinedText(const std::wstring& strTitle, const std::wstring& strDetail)
{
    return strDetail.empty() ? strTitle : strTitle + DETAIL_SEPARATOR + strDetail;
}

void CCaptionedPicture::SplitText(std::wstring* pTitle, std::wstring* pDetail) const
{
    *pTitle = WindowTextW(m_hWnd);
    pDetail->clear();
    const std::wstring strTail = DETAIL_SEPARATOR + m_strDetail;
    if (!m_strDetail.empty() && pTitle->size() >= strTail.size() &&
        pTitle->compare(pTitle->size() - strTail.size(), strTail.size(), strTail) == 0) {
        pTitle->resize(pTitle->size() - strTail.size());
        *pDetail = m_strDetail;
    }
}

void CCaptionedPicture::FitFonts(HDC hDC, const std::wstring& strTitle, const std::wstring& strDetail)
{
    const std::wstring strKey = strTitle + L'\n' + strDetail;
    if (strKey == m_strFittedFor)
        return;
    m_strFittedFor = strKey;
    const int cx = m_rcBox.right - m_rcBox.left;
    const int cy = m_rcBox.bottom - m_rcBox.top;
    // Down to three fifths of the design's size: a long translation wraps first, then gets smaller.
    for (m_nFitPercent = 100; m_nFitPercent > 60; m_nFitPercent -= 5) {
        m_fontTitleFitted.Attach(m_nFitPercent == 100 ? nullptr : CreateResizedFont(m_title.hFont, m_nFitPercent));
        m_fontDetailFitted.Attach(m_nFitPercent == 100 ? nullptr : CreateResizedFont(m_detail.hFont, m_nFitPercent));
        TextLook title = m_title;
        TextLook detail = m_detail;
        if (!m_fontTitleFitted.IsNull())
            title.hFont = m_fontTitleFitted;
        if (!m_fontDetailFitted.IsNull())
            detail.hFont = m_fontDetailFitted;
        const SIZE sizeTitle = MeasureText(hDC, strTitle, title, cx);
        SIZE sizeDetail{0, 0};
        if (!strDetail.empty())
            sizeDetail = MeasureText(hDC, strDetail, detail, cx);
        if (sizeTitle.cx <= cx && sizeDetail.cx <= cx && sizeTitle.cy + sizeDetail.cy <= cy)
            return;
    }
}

void CCaptionedPicture::OnPaint()
{
    CPaintDC dcPaint(m_hWnd);
    // A picture control draws into its parent's device context, mirrored with a right-to-left parent.
    const DWORD dwLayout = ::GetLayout(dcPaint);
    if (m_bKeepSides && (dwLayout & LAYOUT_RTL) != 0)
        ::SetLayout(dcPaint, dwLayout | LAYOUT_BITMAPORIENTATIONPRESERVED);
    CUniMemDC dc(dcPaint);
    RECT rc = {};
    GetClientRect(&rc);
    if (m_bmpPicture.IsNull()) {
        PaintParentBackground(m_hWnd, dc);
    } else {
        CMemoryDC dcPicture(dc);
        CSelectObject select(dcPicture, m_bmpPicture);
        dc.BitBlt(0, 0, rc.right, rc.bottom, dcPicture, 0, 0, SRCCOPY);
    }
    if (m_title.hFont == nullptr)
        return;  // a drawing: its name is for screen readers
    std::wstring strTitle;
    std::wstring strDetail;
    SplitText(&strTitle, &strDetail);
    FitFonts(dc, strTitle, strDetail);
    TextLook title = m_title;
    TextLook detail = m_detail;
    if (!m_fontTitleFitted.IsNull())
        title.hFont = m_fontTitleFitted;
    if (!m_fontDetailFitted.IsNull())
        detail.hFont = m_fontDetailFitted;
    // The words as one block, centred in the box's height.
    const int cx = m_rcBox.right - m_rcBox.left;
    const int cyTitle = MeasureText(dc, strTitle, title, cx).cy;
    const int cyDetail = strDetail.empty() ? 0 : MeasureText(dc, strDetail, detail, cx).cy;
    int y = m_rcBox.top + (m_rcBox.bottom - m_rcBox.top - (cyTitle + cyDetail)) / 2;
    DrawLookText(dc, strTitle, title, RECT{m_rcBox.left, y, m_rcBox.right, y + cyTitle});
    if (!strDetail.empty()) {
        y += cyTitle;
        DrawLookText(dc, strDetail, detail, RECT{m_rcBox.left, y, m_rcBox.right, y + cyDetail});
    }
}

LRESULT CCaptionedPicture::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SETTEXT: {
        const LRESULT nResult = CStatic::WindowProc(nMsg, wParam, lParam);
        Invalidate(FALSE);
        return nResult;
    }
    default:
        return CStatic::WindowProc(nMsg, wParam, lParam);
    }
}
