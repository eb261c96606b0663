#pragma once
// CSkinButton: an owner-drawn button whose face comes from bitmaps chosen by its state (normal,
// hover, focus, pressed or checked, disabled, checked while disabled), optionally shaped by a mask
// bitmap. It keeps its own checked state, so it also serves as a check box or a radio button
// whose group is mutually exclusive. Its caption is its window text, drawn over the face at the
// window's scale; "&" marks the access key, underlined while the system shows keyboard cues.
#include "controls/text_look.h"
#include "framework/button.h"
#include "framework/gdi.h"

#include <string>

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

    // The scale in dots per inch whose artwork set the faces are loaded from by the next SetSkin; 96
    // until set.
    void SetArtworkScale(int nDpi) { m_nArtworkDpi = nDpi; }

    // How the caption is drawn. Without one, it is centred on one line in the button's font and text
    // colour, and engraved while disabled, as the system draws a button's.
    struct CaptionLook {
        TextLook text;                       // font, colour, alignment (one line, centred vertically)
        RECT rcInset{};                      // its box inside the face, pixels from each edge
        COLORREF clrPressed = CLR_INVALID;   // CLR_INVALID: text.clrText
        COLORREF clrDisabled = CLR_INVALID;  // CLR_INVALID: engraved
        HFONT hCheckedFont = nullptr;        // while checked; null: text.hFont
        int nPressedShift = 0;               // pixels the caption sinks while pressed
    };
    void SetCaptionLook(const CaptionLook& look);
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
    void DrawCaption(const CDC& dc, const RECT& rcItem, UINT nState, bool bKeys);
    // The caption's font, made smaller where the caption is wider than its box (a long translation).
    HFONT FittingFont(HDC hDC, HFONT hFont, const std::wstring& strCaption, UINT nFormat, int nWidth);
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
    short m_nFocusInset = 0;
    COLORREF m_clrText;
    int m_nBorder = 0;  // no edge until a skin says otherwise
    short m_nDrawMode = DRAW_STRETCH;
    bool m_bCaptionLook = false;
    CaptionLook m_caption;
    // The last font made to fit: the font and caption it was made for, and the width of its box.
    CGdiObject<HFONT> m_fontFitted;
    HFONT m_hFittedFrom = nullptr;
    std::wstring m_strFittedCaption;
    int m_nFittedWidth = 0;
    COLORREF m_clrFocusRing = CLR_INVALID;
    int m_nFocusRingWidth = 2;
    int m_nArtworkDpi = 96;
};
