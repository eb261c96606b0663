#include "controls/skin_button.h"

#include <algorithm>
#include <string>

#include "controls/choice_accessible.h"
#include "controls/mask_region.h"
#include "controls/uni_mem_dc.h"
#include "framework/keyboard_cues.h"

namespace {
const COLORREF CLR_MASK_OUTSIDE = RGB(255, 255, 255);
const WPARAM VK_SPACE_KEY = 32;
// The ring: an outer band in the ring's colour and a white line half as wide inside it, so that it
// shows on light faces and on faces of the ring's own colour alike.
const COLORREF CLR_FOCUS_RING_INNER = RGB(255, 255, 255);
// Bit 30 of a key message: the key was already down (auto-repeat).
const LPARAM KEY_WAS_DOWN = 1 << 30;

// A caption as it reads without its access key marks: "&&" is an ampersand, a lone "&" goes.
std::wstring WithoutAccessMarks(const std::wstring& strCaption)
{
    std::wstring strText;
    for (size_t i = 0; i < strCaption.size(); ++i) {
        if (strCaption[i] == L'&' && i + 1 < strCaption.size())
            ++i;
        strText += strCaption[i];
    }
    return strText;
}
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

void CSkinButton::SetCaptionLook(const CaptionLook& look)
{
    m_caption = look;
    m_bCaptionLook = true;
    m_hFittedFrom = nullptr;  // made again for the new font
    if (IsWindow())
        Invalidate(FALSE);
}

void CSkinButton::SetSkin(WORD nNormal, WORD nHover, WORD nPressed, WORD nDisabled, WORD nCheckedDisabled,
                          WORD nFocus, WORD nMask, short nDrawMode, short nBorder, short nFocusInset)
{
    ReleaseBitmaps();
    // A bitmap that fails to load stays absent; the face then falls back.
    auto load = [this](CBitmap& bitmap, WORD nId) {
        if (nId)
            bitmap.LoadBitmap(nId, m_nArtworkDpi);
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
    if (!m_bmpMask.LoadBitmap(nMask, m_nArtworkDpi) || !IsWindow())
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

    // Face, caption and ring reach the screen in one copy. What the target shows is the starting
    // point, since a masked face lets it through.
    CDC dcTarget(pDis->hDC);
    CUniMemDC dc(dcTarget);
    RECT rcItem = pDis->rcItem;
    dc.BitBlt(rcItem.left, rcItem.top, rcItem.right - rcItem.left, rcItem.bottom - rcItem.top, dcTarget, rcItem.left,
              rcItem.top, SRCCOPY);
    const UINT nState = pDis->itemState;
    const bool bKeys = KeyboardCues::AccessKeysShown(m_hWnd);
    dc.SetBkMode(TRANSPARENT);

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

    // Focus cues as Windows shows them: hidden until the keyboard is used (Wine never hides them).
    if (!(nState & ODS_DISABLED)) {
        if ((nState & ODS_FOCUS) && m_clrFocusRing != CLR_INVALID && KeyboardCues::FocusShown(m_hWnd))
            DrawFocusRing(dc, FaceRect(rcItem));
        if ((nState & ODS_FOCUS) && m_nFocusInset > 0) {
            RECT rcFocus = rcItem;
            ::InflateRect(&rcFocus, -m_nFocusInset, -m_nFocusInset);
            if (rcFocus.right > rcFocus.left && rcFocus.bottom > rcFocus.top)
                dc.DrawFocusRect(&rcFocus);
        }
    }
    DrawCaption(dc, rcItem, nState, bKeys);
}

void CSkinButton::DrawCaption(const CDC& dc, const RECT& rcItem, UINT nState, bool bKeys)
{
    // The access key's underline follows the keyboard cues; the "&" itself never shows. Without the
    // cues the marks are taken out here (not every system honours DT_HIDEPREFIX).
    const std::wstring strCaption = bKeys ? WindowTextW(m_hWnd) : WithoutAccessMarks(WindowTextW(m_hWnd));
    if (strCaption.empty())
        return;
    const UINT nKeys = bKeys ? 0 : DT_NOPREFIX;
    const bool bDisabled = (nState & ODS_DISABLED) != 0;
    const bool bPressed = (nState & ODS_SELECTED) != 0;
    TextLook look;
    RECT rcText = rcItem;
    COLORREF clrDisabled = CLR_INVALID;
    if (m_bCaptionLook) {
        look = m_caption.text;
        if (m_bChecked && m_caption.hCheckedFont != nullptr)
            look.hFont = m_caption.hCheckedFont;
        if (bPressed && m_caption.clrPressed != CLR_INVALID)
            look.clrText = m_caption.clrPressed;
        clrDisabled = m_caption.clrDisabled;
        const RECT rcFace = FaceRect(rcItem);
        rcText = RECT{rcFace.left + m_caption.rcInset.left, rcFace.top + m_caption.rcInset.top,
                      rcFace.right - m_caption.rcInset.right, rcFace.bottom - m_caption.rcInset.bottom};
        if (bPressed && !bDisabled)
            ::OffsetRect(&rcText, 0, m_caption.nPressedShift);
    } else {
        look.hFont = nullptr;  // the drawing context's own
        look.clrText = m_clrText;
        look.nFormat = DT_CENTER;
        rcText.left += m_nFocusInset + 2;
        rcText.right -= m_nFocusInset + 2;
    }
    if (rcText.right < rcText.left)
        rcText.right = rcText.left;  // a wide inset on a narrow button leaves no room, not a reversed box
    look.nFormat = (look.nFormat & ~(DT_WORDBREAK | DT_NOPREFIX)) | DT_SINGLELINE | DT_VCENTER;
    look.hFont = FittingFont(dc, look.hFont, strCaption, look.nFormat, rcText.right - rcText.left);
    if (bDisabled && clrDisabled == CLR_INVALID) {
        // Engraved: a light copy, and the grey text one pixel up and to the left of it.
        look.clrText = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        DrawLookText(dc, strCaption, look, rcText, nKeys);
        ::OffsetRect(&rcText, -1, -1);
        look.clrText = ::GetSysColor(COLOR_GRAYTEXT);
    } else if (bDisabled) {
        look.clrText = clrDisabled;
    }
    DrawLookText(dc, strCaption, look, rcText, nKeys);
}

HFONT CSkinButton::FittingFont(HDC hDC, HFONT hFont, const std::wstring& strCaption, UINT nFormat, int nWidth)
{
    if (hFont == nullptr)
        return hFont;
    if (hFont == m_hFittedFrom && strCaption == m_strFittedCaption && nWidth == m_nFittedWidth)
        return m_fontFitted.IsNull() ? hFont : m_fontFitted.GetSafeHandle();
    m_hFittedFrom = hFont;
    m_strFittedCaption = strCaption;
    m_nFittedWidth = nWidth;
    m_fontFitted.DeleteObject();
    TextLook measure;
    measure.hFont = hFont;
    measure.nFormat = nFormat;
    // Down to two thirds of its size; a caption that needs less still shows whole where it can.
    for (int nPercent = 100; nPercent >= 66; nPercent -= 6) {
        CGdiObject<HFONT> font(nPercent == 100 ? nullptr : CreateResizedFont(hFont, nPercent));
        measure.hFont = font.IsNull() ? hFont : font.GetSafeHandle();
        if (MeasureText(hDC, strCaption, measure, nWidth).cx <= nWidth) {
            m_fontFitted = std::move(font);
            break;
        }
        m_fontFitted = std::move(font);  // the smallest tried, if none fits
    }
    return m_fontFitted.IsNull() ? hFont : m_fontFitted.GetSafeHandle();
}

RECT CSkinButton::FaceRect(const RECT& rcItem) const
{
    RECT rcFace = rcItem;
    if (m_nDrawMode == DRAW_COPY && !m_bmpNormal.IsNull()) {
        const SIZE size = m_bmpNormal.GetSize();
        rcFace.right = std::min<LONG>(rcFace.right, rcFace.left + size.cx);
        rcFace.bottom = std::min<LONG>(rcFace.bottom, rcFace.top + size.cy);
    }
    return rcFace;
}

void CSkinButton::DrawFocusRing(const CDC& dc, const RECT& rcFace) const
{
    auto frame = [&](const RECT& rc, int nWidth, COLORREF clr) {
        const LONG cx = rc.right - rc.left;
        const LONG cy = rc.bottom - rc.top;
        if (cx <= 2 * nWidth || cy <= 2 * nWidth)
            return;
        dc.FillSolidRect(RECT{rc.left, rc.top, rc.right, rc.top + nWidth}, clr);
        dc.FillSolidRect(RECT{rc.left, rc.bottom - nWidth, rc.right, rc.bottom}, clr);
        dc.FillSolidRect(RECT{rc.left, rc.top + nWidth, rc.left + nWidth, rc.bottom - nWidth}, clr);
        dc.FillSolidRect(RECT{rc.right - nWidth, rc.top + nWidth, rc.right, rc.bottom - nWidth}, clr);
    };
    frame(rcFace, m_nFocusRingWidth, m_clrFocusRing);
    RECT rcInner = rcFace;
    ::InflateRect(&rcInner, -m_nFocusRingWidth, -m_nFocusRingWidth);
    frame(rcInner, std::max(1, m_nFocusRingWidth / 2), CLR_FOCUS_RING_INNER);
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

void CSkinButton::SetTabStop(bool bTabStop) const
{
    if (bTabStop)
        ModifyStyle(0, WS_TABSTOP);
    else
        ModifyStyle(WS_TABSTOP, 0);
}

void CSkinButton::NotifyClicked() const
{
    ::SendMessageA(GetParent(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

void CSkinButton::OnClick()
{
    // An access key: the effect of a click without the mouse (the pointer may be anywhere).
    if (!IsWindowVisible() || !IsWindowEnabled())
        return;
    if (m_nKind != KIND_PUSH)
        SetFocus();
    if (m_nKind == KIND_CHECKBOX)
        SendMessage(BM_SETCHECK, !m_bChecked);
    else if (m_nKind == KIND_RADIO)
        SendMessage(BM_SETCHECK, 1);
    NotifyClicked();
}

void CSkinButton::MoveInGroup(bool bPrevious)
{
    // As standard radio buttons do: the arrow moves to the neighbour in the group and selects it.
    HWND hNext = ::GetNextDlgGroupItem(GetParent(), m_hWnd, bPrevious);
    if (hNext == nullptr || hNext == m_hWnd)
        return;
    auto* pNext = dynamic_cast<CSkinButton*>(CWnd::FromHandlePermanent(hNext));
    if (pNext == nullptr || pNext->m_nKind != KIND_RADIO)
        return;
    pNext->SetFocus();
    pNext->SendMessage(BM_SETCHECK, 1);
    pNext->NotifyClicked();
}

LRESULT CSkinButton::OnGetDlgCode(WPARAM wParam, LPARAM lParam)
{
    LRESULT nCode = DefWindowProc(WM_GETDLGCODE, wParam, lParam);
    if (m_nKind == KIND_RADIO)
        return nCode | DLGC_RADIOBUTTON | DLGC_WANTARROWS;
    // Enter presses the focused push button itself; the dialog would make it its OK command.
    const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
    if (m_nKind == KIND_PUSH && pMsg != nullptr && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN)
        nCode |= DLGC_WANTALLKEYS;
    return nCode;
}

bool CSkinButton::OnKeyDown(WPARAM nKey, LPARAM lParam)
{
    if (nKey == VK_RETURN && m_nKind == KIND_PUSH) {
        // Held down, the key repeats: one press, not one page per repeat.
        if (!(lParam & KEY_WAS_DOWN) && IsWindowEnabled())
            NotifyClicked();
        return true;
    }
    if (m_nKind == KIND_RADIO && (nKey == VK_LEFT || nKey == VK_UP || nKey == VK_RIGHT || nKey == VK_DOWN)) {
        MoveInGroup(nKey == VK_LEFT || nKey == VK_UP);
        return true;
    }
    if (nKey == VK_SPACE_KEY && m_nKind == KIND_CHECKBOX)
        SendMessage(BM_SETCHECK, !m_bChecked);
    else if (nKey == VK_SPACE_KEY && m_nKind == KIND_RADIO)
        SendMessage(BM_SETCHECK, 1);
    return false;
}

LRESULT CSkinButton::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (m_nKind != KIND_PUSH && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        const LRESULT nResult = AnswerChoiceObject(m_hWnd, wParam, m_nKind == KIND_RADIO);
        if (nResult > 0)
            return nResult;
    }
    return DefWindowProc(WM_GETOBJECT, wParam, lParam);
}

void CSkinButton::OnSetCheck(bool bCheck)
{
    m_bChecked = bCheck && m_nKind != KIND_PUSH;
    // Tab reaches a radio group at its checked item, as with standard radio buttons.
    if (m_nKind == KIND_RADIO)
        SetTabStop(m_bChecked);
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
        if (OnKeyDown(wParam, lParam))
            return 0;
        break;
    case WM_GETDLGCODE:
        return OnGetDlgCode(wParam, lParam);
    case BM_CLICK:
        OnClick();
        return 0;
    case WM_GETOBJECT:
        return OnGetObject(wParam, lParam);
    case WM_UPDATEUISTATE:
    case WM_CHANGEUISTATE:
        Invalidate(TRUE);  // focus cues shown or hidden
        break;
    case WM_MOUSELEAVE:
        m_bHover = false;
        Invalidate(TRUE);
        return 0;
    case WM_SKIN_UNCHECK:
        if (m_bChecked) {
            m_bChecked = false;
            SetTabStop(false);
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
