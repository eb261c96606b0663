#include "tests/framework/gui_test_support.h"

namespace {
// Under Wine, a window that a window manager would manage is waited for on every hide and destroy
// (up to seconds without one). The tests' private X server has none, so let Wine own the windows.
const bool s_bUnmanaged = [] {
    HKEY hKey;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return false;
    ::RegSetValueExA(hKey, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    ::RegCloseKey(hKey);
    return true;
}();
}  // namespace

namespace GuiTest {

void PumpMessages(DWORD nMs)
{
    DWORD nStart = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // As a dialog's message loop does: Tab, Enter and Escape work in the active dialog.
            HWND hActive = ::GetActiveWindow();
            if (hActive && ::IsDialogMessageA(hActive, &msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (nMs)
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (::GetTickCount() - nStart < nMs);
}

bool PumpUntil(const std::function<bool()>& bCondition, DWORD nTimeoutMs)
{
    DWORD nStart = ::GetTickCount();
    for (;;) {
        PumpMessages();
        if (bCondition())
            return true;
        if (::GetTickCount() - nStart >= nTimeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

COLORREF CPixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
        return CLR_INVALID;
    uint32_t n = m_pixels[static_cast<size_t>(y) * static_cast<size_t>(m_nWidth) + static_cast<size_t>(x)];
    return RGB((n >> 16) & 0xFF, (n >> 8) & 0xFF, n & 0xFF);
}

int CPixels::Count(COLORREF clr, const RECT& rect) const
{
    int nCount = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            nCount += At(x, y) == clr;
    return nCount;
}

CPixels CaptureClient(HWND hWnd)
{
    CPixels pixels;
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    pixels.m_nWidth = rc.right;
    pixels.m_nHeight = rc.bottom;
    pixels.m_pixels.assign(static_cast<size_t>(rc.right) * static_cast<size_t>(rc.bottom), 0);
    if (rc.right <= 0 || rc.bottom <= 0)
        return pixels;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = rc.right;
    bmi.bmiHeader.biHeight = -rc.bottom;  // top row first
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HDC hWindowDC = ::GetDC(hWnd);
    HDC hMemDC = ::CreateCompatibleDC(hWindowDC);
    HBITMAP hDib = ::CreateDIBSection(hWindowDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(hMemDC, hDib);
    ::BitBlt(hMemDC, 0, 0, rc.right, rc.bottom, hWindowDC, 0, 0, SRCCOPY);
    ::GdiFlush();
    const uint32_t* pSource = static_cast<const uint32_t*>(pBits);
    for (size_t i = 0; i < pixels.m_pixels.size(); ++i)
        pixels.m_pixels[i] = pSource[i] & 0xFFFFFF;
    ::SelectObject(hMemDC, hOld);
    ::DeleteObject(hDib);
    ::DeleteDC(hMemDC);
    ::ReleaseDC(hWnd, hWindowDC);
    return pixels;
}

void MakeForeground(HWND hWnd)
{
    HWND hTop = ::GetAncestor(hWnd, GA_ROOT);
    ::ShowWindow(hTop, SW_SHOW);
    ::SetWindowPos(hTop, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(hTop);
    ::SetActiveWindow(hTop);
    PumpUntil([hTop] { return ::GetForegroundWindow() == hTop; }, 2000);
    PumpMessages(50);
}

void MouseMove(HWND hWnd, POINT pt)
{
    ::ClientToScreen(hWnd, &pt);
    int cx = ::GetSystemMetrics(SM_CXSCREEN);
    int cy = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((pt.x * 65536LL + cx / 2) / cx);
    input.mi.dy = static_cast<LONG>((pt.y * 65536LL + cy / 2) / cy);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(input));
    PumpUntil([&] {
        POINT ptNow;
        return ::GetCursorPos(&ptNow) && ptNow.x == pt.x && ptNow.y == pt.y;
    }, 1000);
    PumpMessages(30);
}

void MouseButton(bool bDown)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = bDown ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof(input));
    PumpMessages(30);
}

void Click(HWND hWnd, POINT pt)
{
    MouseMove(hWnd, pt);
    MouseButton(true);
    MouseButton(false);
}

void Key(WORD nVirtualKey, bool bDown)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = nVirtualKey;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(nVirtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = bDown ? 0 : KEYEVENTF_KEYUP;
    ::SendInput(1, &input, sizeof(input));
    PumpMessages(30);
}

}  // namespace GuiTest
