#pragma once
// CSkinButton: an owner-drawn button whose face comes from bitmaps chosen by its state (normal,
// hover, focus, pressed or checked, disabled, checked while disabled), optionally shaped by a mask
// bitmap. It keeps its own checked state, so it also serves as a check box or a radio button
// whose group is mutually exclusive.
#include "framework/button.h"
#include "framework/gdi.h"

// Posted to the other items of a radio button's group when it becomes checked.
const UINT WM_SKIN_UNCHECK = WM_USER + 256;

class CSkinButton : public CButton {
public:
    enum DrawMode : short { DRAW_COPY = 0, DRAW_STRETCH = 1, DRAW_TILE = 2 };

    CSkinButton();

    // Loads the face bitmaps by resource id (0 = none) and replaces all of the previous ones. Without
    // a disabled id the normal bitmap serves. A mask shapes the window (white is outside); in
    // DRAW_COPY mode the window then takes the mask's size. A nonzero border draws a 3-D edge; a
    // focus inset above 0 draws the focus rectangle that far inside the edge.
    void SetSkin(WORD nNormal, WORD nHover, WORD nPressed, WORD nDisabled, WORD nCheckedDisabled, WORD nFocus,
                 WORD nMask, short nDrawMode, short nBorder, short nFocusInset);

    // The same faces with the access key underlined, shown while keyboard cues are (0 = none; without
    // a disabled id the normal one serves). SetSkin drops them.
    void SetAccessKeyFaces(WORD nNormal, WORD nPressed, WORD nDisabled);

    // The scale in dots per inch whose artwork set the faces are loaded from by the next SetSkin and
    // SetAccessKeyFaces; 96 until set.
    void SetArtworkScale(int nDpi) { m_nArtworkDpi = nDpi; }

    // The window text stays the caption (access key, screen readers); a face whose artwork shows
    // the caption already gets no text painted over it.
    void SetCaptionInArtwork(bool bInArtwork) { m_bCaptionInArtwork = bInArtwork; }
    // A ring of this colour and width frames the face while the button has the focus and focus cues
    // are shown; CLR_INVALID draws none.
    void SetFocusRing(COLORREF clrRing, int nWidth = 2)
    {
        m_clrFocusRing = clrRing;
        m_nFocusRingWidth = nWidth;
    }

protected:
    void PreSubclassWindow() override;
    void DrawItem(DRAWITEMSTRUCT* pDis) override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

private:
    enum Kind { KIND_PUSH = 0, KIND_CHECKBOX = 2, KIND_RADIO = 4 };

    void ReleaseBitmaps();
    // Without a mask, the window takes the mouse only where the face is drawn.
    void FitRegionToFace();
    void DrawBitmap(const CDC& dc, const CBitmap& bitmap, const RECT& rect) const;
    // The face, or its underlined twin while the access keys show.
    static const CBitmap& WithKeys(const CBitmap& face, const CBitmap& keyed, bool bKeys)
    {
        return bKeys && !keyed.IsNull() ? keyed : face;
    }
    void TileBitmap(const CDC& dc, const CBitmap& bitmap, const RECT& rect) const;
    bool IsUnderCursor(POINT ptScreen) const { return ::WindowFromPoint(ptScreen) == m_hWnd; }
    void OnLButtonDown(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(LPARAM lParam);
    void OnSetCheck(bool bCheck);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    bool OnKeyDown(WPARAM nKey, LPARAM lParam);
    void OnClick();
    void NotifyClicked() const;
    void MoveInGroup(bool bPrevious);
    void SetTabStop(bool bTabStop) const;
    // The part of the window the face covers.
    RECT FaceRect(const RECT& rcItem) const;
    void DrawFocusRing(const CDC& dc, const RECT& rcFace) const;
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);

    bool m_bChecked = false;
    int m_nKind = KIND_PUSH;
    bool m_bHover = false;
    bool m_bDown = false;
    CBitmap m_bmpNormal;
    CBitmap m_bmpPressed;
    CBitmap m_bmpDisabled;
    CBitmap m_bmpMask;
    CBitmap m_bmpHover;
    CBitmap m_bmpFocus;
    CBitmap m_bmpCheckedDisabled;
    CBitmap m_bmpNormalKeyed;
    CBitmap m_bmpPressedKeyed;
    CBitmap m_bmpDisabledKeyed;
    short m_nFocusInset = 0;
    COLORREF m_clrText;
    int m_nBorder = 0;  // no edge until a skin says otherwise
    short m_nDrawMode = DRAW_STRETCH;
    bool m_bCaptionInArtwork = false;
    COLORREF m_clrFocusRing = CLR_INVALID;
    int m_nFocusRingWidth = 2;
    int m_nArtworkDpi = 96;
};
