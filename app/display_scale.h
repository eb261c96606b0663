#pragma once
// The wizard at a display scale: the design is 1024 x 600 logical pixels (96 dpi), and every place,
// size and font is that times the scale. Only this file turns logical pixels into the window's.
#include <windows.h>

#include "framework/dpi.h"

class CDisplayScale {
public:
    explicit CDisplayScale(int nDpi = BASE_DPI) : m_nDpi(nDpi) {}

    int Dpi() const { return m_nDpi; }
    // A length in window pixels; the same rounding as the artwork rendered for the scale.
    int Px(int nLogical) const { return ::MulDiv(nLogical, m_nDpi, BASE_DPI); }
    RECT Rect(int x, int y, int cx, int cy) const { return RECT{Px(x), Px(y), Px(x) + Px(cx), Px(y) + Px(cy)}; }
    // Today's window at 96 dpi is 1024 pixels wide and 625 plus a caption high; its client area, the
    // window less the frame the system gives it at 96 dpi, is what every scale enlarges.
    SIZE ClientSize(DWORD dwStyle, DWORD dwExStyle) const;
    // The whole window with the frame of the monitor's scale around the client area.
    SIZE WindowSize(DWORD dwStyle, DWORD dwExStyle, int nWindowDpi) const;

private:
    int m_nDpi;
};

// The scale to lay out at on a monitor of nMonitorDpi: that one if the window (with the frame of
// nFrameDpi) fits the work area, else the largest scale of an artwork set below it that fits, else 100 %.
int ChooseLayoutDpi(int nMonitorDpi, SIZE workArea, DWORD dwStyle, DWORD dwExStyle, int nFrameDpi);
