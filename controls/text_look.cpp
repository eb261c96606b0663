#include "controls/text_look.h"

#include <vector>

namespace {

// Selects the look's font and spacing into a context and restores what was there.
class CLookScope {
public:
    CLookScope(HDC hDC, const TextLook& look)
        : m_hDC(hDC), m_hOldFont(look.hFont ? ::SelectObject(hDC, look.hFont) : nullptr),
          m_nOldExtra(::SetTextCharacterExtra(hDC, look.nLetterSpacing))
    {
    }
    ~CLookScope()
    {
        ::SetTextCharacterExtra(m_hDC, m_nOldExtra);
        if (m_hOldFont)
            ::SelectObject(m_hDC, m_hOldFont);
    }
    CLookScope(const CLookScope&) = delete;
    CLookScope& operator=(const CLookScope&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOldFont;
    int m_nOldExtra;
};

}  // namespace

std::wstring WindowTextW(HWND hWnd)
{
    const int nLength = ::GetWindowTextLengthW(hWnd);
    std::wstring strText(static_cast<size_t>(nLength > 0 ? nLength : 0) + 1, L'\0');
    const int nCopied = ::GetWindowTextW(hWnd, strText.data(), static_cast<int>(strText.size()));
    strText.resize(static_cast<size_t>(nCopied > 0 ? nCopied : 0));
    return strText;
}

SIZE MeasureText(HDC hDC, const std::wstring& strText, const TextLook& look, int nWidth)
{
    CLookScope scope(hDC, look);
    RECT rc{0, 0, nWidth, 0};
    // An empty text still takes one line's height; it needs no width. Where a line would stand in its box
    // is no part of its size (and would shift the rectangle DT_CALCRECT gives back).
    ::DrawTextW(hDC, strText.empty() ? L" " : strText.c_str(), strText.empty() ? 1 : static_cast<int>(strText.size()),
                &rc, (look.nFormat & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
    return SIZE{strText.empty() ? 0 : rc.right - rc.left, rc.bottom - rc.top};
}

void DrawLookText(HDC hDC, const std::wstring& strText, const TextLook& look, RECT rcBox, UINT nExtraFormat)
{
    if (look.bMiddle && (look.nFormat & DT_WORDBREAK)) {
        const int nRoom = (rcBox.bottom - rcBox.top) - MeasureText(hDC, strText, look, rcBox.right - rcBox.left).cy;
        if (nRoom > 0)
            rcBox.top += nRoom / 2;
    }
    CLookScope scope(hDC, look);
    const COLORREF clrOld = ::SetTextColor(hDC, look.clrText);
    const int nOldMode = ::SetBkMode(hDC, TRANSPARENT);
    ::DrawTextW(hDC, strText.c_str(), static_cast<int>(strText.size()), &rcBox, look.nFormat | nExtraFormat);
    ::SetBkMode(hDC, nOldMode);
    ::SetTextColor(hDC, clrOld);
}

HFONT CreateResizedFont(HFONT hFont, int nPercent)
{
    LOGFONTW lf = {};
    if (hFont == nullptr || ::GetObjectW(hFont, sizeof(lf), &lf) != sizeof(lf))
        return nullptr;
    lf.lfHeight = ::MulDiv(lf.lfHeight, nPercent, 100);
    lf.lfWidth = ::MulDiv(lf.lfWidth, nPercent, 100);
    if (lf.lfHeight == 0)
        lf.lfHeight = -1;
    return ::CreateFontIndirectW(&lf);
}

namespace {

// A mirrored parent paints its whole picture as the screen shows it; the part under the child is then
// copied pixel for pixel (copies between mirrored contexts that cut a picture are not reliable).
void PaintMirroredParentBackground(HWND hChild, HWND hParent, HDC hDC)
{
    RECT rcParent = {};
    ::GetClientRect(hParent, &rcParent);
    HDC hWhole = ::CreateCompatibleDC(hDC);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hDC, rcParent.right, rcParent.bottom);
    if (hWhole == nullptr || hBitmap == nullptr) {
        if (hBitmap != nullptr)
            ::DeleteObject(hBitmap);
        if (hWhole != nullptr)
            ::DeleteDC(hWhole);
        return;
    }
    HGDIOBJ hOld = ::SelectObject(hWhole, hBitmap);

    // Where the child's clip box stands on the screen, from the parent's client area's left edge.
    WINDOWINFO parent = {};
    parent.cbSize = sizeof(parent);
    ::GetWindowInfo(hParent, &parent);
    RECT rcChild = {};
    ::GetWindowRect(hChild, &rcChild);
    RECT rcClient = {};
    ::GetClientRect(hChild, &rcClient);
    RECT rcClip = {};
    ::GetClipBox(hDC, &rcClip);
    const int xFrom = rcChild.left - parent.rcClient.left + (rcClient.right - rcClip.right);
    const int yFrom = rcChild.top - parent.rcClient.top + rcClip.top;
    const int cx = rcClip.right - rcClip.left;
    const int cy = rcClip.bottom - rcClip.top;

    // Only that part of the picture is drawn (a mirrored context counts from the right).
    ::SetLayout(hWhole, LAYOUT_RTL);
    ::IntersectClipRect(hWhole, rcParent.right - (xFrom + cx), yFrom, rcParent.right - xFrom, yFrom + cy);
    ::SendMessageW(hParent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hWhole), 0);
    ::SetLayout(hWhole, 0);
    ::BitBlt(hDC, rcClip.left, rcClip.top, cx, cy, hWhole, xFrom, yFrom, SRCCOPY | NOMIRRORBITMAP);
    ::SelectObject(hWhole, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hWhole);
}

}  // namespace

void PaintParentBackground(HWND hChild, HDC hDC)
{
    HWND hParent = ::GetParent(hChild);
    if (hParent == nullptr)
        return;
    if ((::GetLayout(hDC) & LAYOUT_RTL) != 0) {
        PaintMirroredParentBackground(hChild, hParent, hDC);
        return;
    }
    // The parent's client coordinates of the child's origin: its picture is drawn that much up and left.
    POINT ptOrigin{0, 0};
    ::MapWindowPoints(hChild, hParent, &ptOrigin, 1);
    POINT ptOld{};
    ::OffsetWindowOrgEx(hDC, ptOrigin.x, ptOrigin.y, &ptOld);
    ::SendMessageW(hParent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
    ::SetWindowOrgEx(hDC, ptOld.x, ptOld.y, nullptr);
}
