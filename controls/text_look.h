#pragma once
// How a control draws words: the font, colour and DrawTextW format it is given, and the helpers every
// text-drawing control shares (its window text as UTF-16, a font made smaller to fit, the parent's
// picture under a control).
#include <windows.h>

#include <string>

#include "framework/gdi.h"

struct TextLook {
    HFONT hFont = nullptr;  // not owned; null draws in the window's own font
    COLORREF clrText = RGB(0, 0, 0);
    // DrawTextW's alignment, wrapping and reading order (DT_RTLREADING for a right-to-left language).
    UINT nFormat = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;
    int nLetterSpacing = 0;  // extra pixels after every character
    bool bMiddle = false;    // a paragraph (DT_WORDBREAK) stands in the middle of its box's height
};

// The window's text as the system holds it, in UTF-16, whatever the window procedure's character set.
std::wstring WindowTextW(HWND hWnd);

// The rectangle the text needs when drawn with the look into a box nWidth pixels wide (DT_CALCRECT).
SIZE MeasureText(HDC hDC, const std::wstring& strText, const TextLook& look, int nWidth);
// Draws the text into the box with the look (the DC's font, colour and spacing are restored); a paragraph
// in the middle of its box is moved down by half the room its lines leave.
void DrawLookText(HDC hDC, const std::wstring& strText, const TextLook& look, RECT rcBox, UINT nExtraFormat = 0);

// A copy of hFont at nPercent of its height; null when it cannot be made.
HFONT CreateResizedFont(HFONT hFont, int nPercent);

// Paints what the parent shows under the child (its background, as WM_ERASEBKGND draws it) into hDC,
// whose coordinates are the child's client coordinates.
void PaintParentBackground(HWND hChild, HDC hDC);
