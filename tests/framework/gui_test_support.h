#pragma once
// Helpers for tests that run controls in real windows: message pumping, pixels read back from a
// window, and input given as a user gives it (SendInput).
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace GuiTest {

// Handles every queued message of this thread, for at least nMs milliseconds.
void PumpMessages(DWORD nMs = 0);
// Pumps messages until bCondition holds or nTimeoutMs passes; the condition's last value.
bool PumpUntil(const std::function<bool()>& bCondition, DWORD nTimeoutMs = 3000);

// The client area of a window as the screen shows it.
class CPixels {
public:
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<uint32_t> m_pixels;  // 0x00RRGGBB, top row first

    COLORREF At(int x, int y) const;
    // The number of pixels of one colour inside a rectangle.
    int Count(COLORREF clr, const RECT& rect) const;
    int Count(COLORREF clr) const { return Count(clr, RECT{0, 0, m_nWidth, m_nHeight}); }
};
CPixels CaptureClient(HWND hWnd);

// Brings the top-level window to the front and gives it the focus.
void MakeForeground(HWND hWnd);
// Mouse and keyboard through SendInput; points are in the client coordinates of hWnd.
void MouseMove(HWND hWnd, POINT pt);
void MouseButton(bool bDown);
void Click(HWND hWnd, POINT pt);
void Key(WORD nVirtualKey, bool bDown);
inline POINT Centre(HWND hWnd)
{
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    return POINT{rc.right / 2, rc.bottom / 2};
}

}  // namespace GuiTest
