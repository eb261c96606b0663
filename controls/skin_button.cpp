#include "controls/skin_button.h"

#include <algorithm>
#include <string>

#include "controls/mask_region.h"

namespace {
const COLORREF CLR_MASK_OUTSIDE = RGB(255, 255, 255);
const WPARAM VK_SPACE_KEY = 32;
}  // namespace

CSkinButton::CSkinButton() : m_clrText(::GetSysColor(COLOR_BTNTEXT)) {}

void CSkinButton::PreSubclassWindow()
{
    BYTE nType = LOBYTE(GetStyle());
    if ((nType & 0x03) == 0x03)
        m_nKind = KIND_CHECKBOX;  // as BS_AUTOCHECKBOX
    else if ((nType & 0x09) == 0x09)
        m_nKind = KIND_RADIO;     // as BS_AUTORADIOBUTTON
    else
        m_nKind = KIND_PUSH;
    CButton::PreSubclassWindow();
    ModifyStyle(0, BS_OWNERDRAW);
}

void CSkinButton::ReleaseBitmaps()
{
    m_bmpNormal.DeleteObject();
    m_bmpPressed.DeleteObject();
    m_bmpDisabled.DeleteObject();
    m_bmpMask.DeleteObject();
    m_bmpHover.DeleteObject();
    m_bmpFocus.DeleteObject();
    m_bmpCheckedDisabled.DeleteObject();
}

void CSkinButton::SetSkin(WORD nNormal, WORD nHover, WORD nPressed, WORD nDisabled, WORD nCheckedDisabled,
                          WORD nFocus, WORD nMask, short nDrawMode, short nBorder, short nFocusInset)
{
    ReleaseBitmaps();
    // A bitmap that fails to load stays absent; the face then falls back.
    auto load = [](CBitmap& bitmap, WORD nId) {
        if (nId)
            bitmap.LoadBitmap(nId);
    };
    load(m_bmpNormal, nNormal);
    load(m_bmpPressed, nPressed);
    load(m_bmpHover, nHover);
    load(m_bmpFocus, nFocus);
    load(m_bmpCheckedDisabled, nCheckedDisabled);
    load(m_bmpDisabled, nDisabled ? nDisabled : nNormal);

    m_nDrawMode = std::clamp<short>(nDrawMode, DRAW_COPY, DRAW_TILE);
    m_nBorder = nBorder;
    m_nFocusInset = std::max<short>(nFocusInset, 0);

    if (!nMask) {
        FitRegionToFace();
        return;
    }
    if (!m_bmpMask.LoadBitmap(nMask) || !IsWindow())
        return;
    if (HRGN hRgn = CreateRegionFromMask(m_bmpMask, CLR_MASK_OUTSIDE)) {
        // The window takes the region over (and deletes the one it had); if it refuses, it is ours.
        if (!SetWindowRgn(hRgn, TRUE))
            ::DeleteObject(hRgn);
    }
    if (m_nDrawMode == DRAW_COPY) {
        SIZE size = m_bmpMask.GetSize();
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CSkinButton::FitRegionToFace()
{
    if (!IsWindow())
        return;
    // A face copied at its own size onto a larger window leaves part of the window without a face; that
    // part must not take the mouse either, or a click there (or on a neighbour's face beneath it) would
    // press this control. The window keeps its place and size; only its region shrinks to the face.
    RECT rcWindow = {};
    ::GetWindowRect(m_hWnd, &rcWindow);
    const LONG cx = rcWindow.right - rcWindow.left;
    const LONG cy = rcWindow.bottom - rcWindow.top;
    HRGN hRgn = nullptr;
    if (m_nDrawMode == DRAW_COPY && !m_bmpNormal.IsNull()) {
        const SIZE size = m_bmpNormal.GetSize();
        if (size.cx < cx || size.cy < cy)
            hRgn = ::CreateRectRgn(0, 0, std::min<LONG>(size.cx, cx), std::min<LONG>(size.cy, cy));
    }
    // The window takes the region over (and deletes the one it had); if it refuses, it is ours.
    if (!SetWindowRgn(hRgn, TRUE) && hRgn != nullptr)
        ::DeleteObject(hRgn);
}

void CSkinButton::DrawItem(DRAWITEMSTRUCT* pDis)
{
    // While the left button is held, the pushed look follows the cursor: on or off the button.
    POINT ptCursor;
    if (m_bDown && HasCapture() && ::GetCursorPos(&ptCursor)) {
        bool bOver = IsUnderCursor(ptCursor);
        bool bPushed = (GetState() & BST_PUSHED) != 0;
        if (bOver != bPushed) {
            SetState(bOver);  // brings its own redraw
            return;
        }
    }

    CDC dc(pDis->hDC);
    RECT rcItem = pDis->rcItem;
    const UINT nState = pDis->itemState;
    std::string strCaption = GetWindowText();
    dc.SetBkMode(TRANSPARENT);
    RECT rcText = rcItem;
    rcText.left += m_nFocusInset + 2;
    rcText.right -= m_nFocusInset + 2;
    if (rcText.right < rcText.left)
        rcText.right = rcText.left;  // a wide inset on a narrow button leaves no room, not a reversed box

    UINT nEdge = EDGE_RAISED;
    if (nState & ODS_DISABLED) {
        if (m_bmpDisabled.IsNull())
            dc.FillSolidRect(rcItem, ::GetSysColor(COLOR_BTNFACE));
        else if (m_bChecked)
            DrawBitmap(dc, m_bmpCheckedDisabled, rcItem);  // none: the face drawn before stays
        else
            DrawBitmap(dc, m_bmpDisabled, rcItem);
    } else if ((nState & ODS_SELECTED) || m_bChecked) {
        if (m_bmpPressed.IsNull())
            dc.FillSolidRect(rcItem, ::GetSysColor(COLOR_BTNFACE));
        else
            DrawBitmap(dc, m_bmpPressed, rcItem);
        nEdge = EDGE_SUNKEN;
    } else if (m_bmpNormal.IsNull()) {
        dc.FillSolidRect(rcItem, ::GetSysColor(COLOR_BTNFACE));
    } else if (m_bHover && !m_bmpHover.IsNull()) {
        DrawBitmap(dc, m_bmpHover, rcItem);
    } else if ((nState & ODS_FOCUS) && !m_bmpFocus.IsNull()) {
        DrawBitmap(dc, m_bmpFocus, rcItem);
    } else {
        DrawBitmap(dc, m_bmpNormal, rcItem);
    }
    if (m_nBorder)
        dc.DrawEdge(&rcItem, nEdge, BF_RECT);

    const UINT nFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (nState & ODS_DISABLED) {
        // Engraved: a light copy, and the grey text one pixel up and to the left of it.
        dc.SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        dc.DrawText(strCaption, &rcText, nFormat);
        ::OffsetRect(&rcText, -1, -1);
        dc.SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
        dc.DrawText(strCaption, &rcText, nFormat);
        return;
    }
    if ((nState & ODS_FOCUS) && m_nFocusInset > 0) {
        RECT rcFocus = rcItem;
        ::InflateRect(&rcFocus, -m_nFocusInset, -m_nFocusInset);
        if (rcFocus.right > rcFocus.left && rcFocus.bottom > rcFocus.top)
            dc.DrawFocusRect(&rcFocus);
    }
    dc.SetTextColor(m_clrText);
    dc.DrawText(strCaption, &rcText, nFormat);
}

void CSkinButton::DrawBitmap(const CDC& dc, const CBitmap& bitmap, const RECT& rect) const
{
    if (bitmap.IsNull())
        return;
    if (m_nDrawMode == DRAW_TILE) {
        TileBitmap(dc, bitmap, rect);
        return;
    }
    const int cx = rect.right - rect.left;
    const int cy = rect.bottom - rect.top;
    const SIZE size = bitmap.GetSize();
    CMemoryDC dcFace(dc);
    CSelectObject selectFace(dcFace, bitmap);
    auto blend = [&](const CDC& dcTarget, int x, int y, HDC hSource, SIZE sizeSource, DWORD dwRop) {
        if (m_nDrawMode == DRAW_COPY)
            dcTarget.BitBlt(x, y, cx, cy, hSource, 0, 0, dwRop);
        else
            dcTarget.StretchBlt(x, y, cx, cy, hSource, 0, 0, sizeSource.cx, sizeSource.cy, dwRop);
    };
    if (m_bmpMask.IsNull()) {
        blend(dc, rect.left, rect.top, dcFace, size, SRCCOPY);
        return;
    }
    // face ^ (target ^ face) & mask: white mask pixels keep the target, black ones show the face.
    CMemoryDC dcMask(dc);
    CSelectObject selectMask(dcMask, m_bmpMask);
    CMemoryDC dcWork(dc);
    CBitmap bmpWork;
    if (!bmpWork.CreateCompatibleBitmap(dc, cx, cy))
        return;
    CSelectObject selectWork(dcWork, bmpWork);
    dcWork.BitBlt(0, 0, cx, cy, dc, rect.left, rect.top, SRCCOPY);
    blend(dcWork, 0, 0, dcFace, size, SRCINVERT);
    blend(dcWork, 0, 0, dcMask, m_bmpMask.GetSize(), SRCAND);
    blend(dcWork, 0, 0, dcFace, size, SRCINVERT);
    dc.BitBlt(rect.left, rect.top, cx, cy, dcWork, 0, 0, SRCCOPY);
}

void CSkinButton::TileBitmap(const CDC& dc, const CBitmap& bitmap, const RECT& rect) const
{
    const SIZE size = bitmap.GetSize();
    if (size.cx <= 0 || size.cy <= 0)
        return;
    CMemoryDC dcTile(dc);
    CSelectObject select(dcTile, bitmap);
    for (LONG y = rect.top; y < rect.bottom; y += size.cy)
        for (LONG x = rect.left; x < rect.right; x += size.cx)
            dc.BitBlt(x, y, std::min(size.cx, rect.right - x), std::min(size.cy, rect.bottom - y), dcTile, 0, 0, SRCCOPY);
}

void CSkinButton::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    if (m_bHover) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_CANCEL | TME_LEAVE, m_hWnd, 0};
        if (::TrackMouseEvent(&tme))
            m_bHover = false;
    }
    DefWindowProc(WM_LBUTTONDOWN, wParam, lParam);  // capture and the pushed state
    m_bDown = true;
    if (m_nKind == KIND_PUSH)
        return;
    // A check box or radio button changes on the press, not on the release.
    POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(&pt);
    if (!IsUnderCursor(pt))
        return;
    if (m_nKind == KIND_CHECKBOX)
        SendMessage(BM_SETCHECK, !m_bChecked);
    else
        SendMessage(BM_SETCHECK, 1);
}

void CSkinButton::OnMouseMove(LPARAM lParam)
{
    if (m_bDown && HasCapture()) {
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(&pt);
        bool bOver = IsUnderCursor(pt);
        if (bOver != ((GetState() & BST_PUSHED) != 0)) {
            SetState(bOver);
            Invalidate(TRUE);
        }
    } else if (!m_bHover) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, m_hWnd, 0};
        if (::TrackMouseEvent(&tme)) {
            m_bHover = true;
            Invalidate(TRUE);
        }
    }
}

void CSkinButton::OnSetCheck(bool bCheck)
{
    m_bChecked = bCheck && m_nKind != KIND_PUSH;
    if (m_bChecked && m_nKind == KIND_RADIO) {
        // Walk the dialog group once round. The walk skips hidden and disabled items, so from a
        // hidden button it may never come back: stop also when it returns to its first item.
        HWND hParent = GetParent();
        HWND hFirst = nullptr;
        for (HWND hItem = ::GetNextDlgGroupItem(hParent, m_hWnd, FALSE); hItem && hItem != m_hWnd;
             hItem = ::GetNextDlgGroupItem(hParent, hItem, FALSE)) {
            if (hItem == hFirst)
                break;
            if (!hFirst)
                hFirst = hItem;
            ::PostMessageA(hItem, WM_SKIN_UNCHECK, 0, 0);
        }
    }
    Invalidate(TRUE);
}

LRESULT CSkinButton::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SIZE:
        // Placed and sized after its skin was set: the face-sized region follows (a mask's stays).
        if (m_bmpMask.IsNull()) {
            LRESULT lResult = CButton::WindowProc(nMsg, wParam, lParam);
            FitRegionToFace();
            return lResult;
        }
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
        m_bDown = false;
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(lParam);
        break;
    case WM_LBUTTONDBLCLK:
        // A double click is a second press.
        SendMessage(WM_LBUTTONDOWN, wParam, lParam);
        return 0;
    case WM_KILLFOCUS:
        if (HasCapture()) {
            ::ReleaseCapture();
            m_bDown = false;
        }
        break;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE_KEY && m_nKind == KIND_CHECKBOX)
            SendMessage(BM_SETCHECK, !m_bChecked);
        else if (wParam == VK_SPACE_KEY && m_nKind == KIND_RADIO)
            SendMessage(BM_SETCHECK, 1);
        break;
    case WM_MOUSELEAVE:
        m_bHover = false;
        Invalidate(TRUE);
        return 0;
    case WM_SKIN_UNCHECK:
        if (m_bChecked) {
            m_bChecked = false;
            Invalidate(TRUE);
        }
        return 0;
    case BM_SETCHECK:
        OnSetCheck(wParam != 0);
        return 0;
    case BM_GETCHECK:
        return m_bChecked ? BST_CHECKED : BST_UNCHECKED;
    default:
        break;
    }
    return CButton::WindowProc(nMsg, wParam, lParam);
}
