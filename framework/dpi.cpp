#include "framework/dpi.h"

namespace {

template <class TFunction>
TFunction UserFunction(const char* pszName)
{
    static const HMODULE s_hUser = ::GetModuleHandleA("user32.dll");
    return s_hUser == nullptr ? nullptr : reinterpret_cast<TFunction>(reinterpret_cast<void*>(::GetProcAddress(s_hUser, pszName)));
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
using SetDialogControlDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);

// DDC_DISABLE_ALL, DCDC_DISABLE_FONTUPDATE | DCDC_DISABLE_RELAYOUT (Windows 10 1703 and later).
constexpr int DIALOG_DPI_CHANGE_DISABLE_ALL = 1;
constexpr int CONTROL_DPI_CHANGE_DISABLE_ALL = 3;

BOOL CALLBACK KeepControlLayout(HWND hControl, LPARAM lParam)
{
    reinterpret_cast<SetDialogControlDpiChangeBehaviorFn>(lParam)(hControl, CONTROL_DPI_CHANGE_DISABLE_ALL,
                                                                  CONTROL_DPI_CHANGE_DISABLE_ALL);
    return TRUE;
}

}  // namespace

int SystemDpi()
{
    HDC hScreen = ::GetDC(nullptr);
    const int nDpi = hScreen != nullptr ? ::GetDeviceCaps(hScreen, LOGPIXELSY) : BASE_DPI;
    if (hScreen != nullptr)
        ::ReleaseDC(nullptr, hScreen);
    return nDpi > 0 ? nDpi : BASE_DPI;
}

int WindowDpi(HWND hWnd)
{
    static const auto s_pfnGetDpiForWindow = UserFunction<GetDpiForWindowFn>("GetDpiForWindow");
    if (s_pfnGetDpiForWindow != nullptr && hWnd != nullptr) {
        const UINT nDpi = s_pfnGetDpiForWindow(hWnd);
        if (nDpi > 0)
            return static_cast<int>(nDpi);
    }
    return SystemDpi();
}

bool AdjustWindowRectForDpi(RECT* pRect, DWORD dwStyle, DWORD dwExStyle, int nDpi)
{
    static const auto s_pfnAdjust = UserFunction<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    if (s_pfnAdjust != nullptr)
        return s_pfnAdjust(pRect, dwStyle, FALSE, dwExStyle, static_cast<UINT>(nDpi)) != FALSE;
    // Without it the frame is the one of the system's scale, made for this one.
    RECT rcFrame = {};
    if (!::AdjustWindowRectEx(&rcFrame, dwStyle, FALSE, dwExStyle))
        return false;
    const int nSystem = SystemDpi();
    pRect->left += ::MulDiv(rcFrame.left, nDpi, nSystem);
    pRect->top += ::MulDiv(rcFrame.top, nDpi, nSystem);
    pRect->right += ::MulDiv(rcFrame.right, nDpi, nSystem);
    pRect->bottom += ::MulDiv(rcFrame.bottom, nDpi, nSystem);
    return true;
}

RECT WorkAreaOf(const RECT& rcWindow)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(::MonitorFromRect(&rcWindow, MONITOR_DEFAULTTONEAREST), &info))
        return info.rcWork;
    RECT rcWork = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    return rcWork;
}

void KeepDialogLayoutOwn(HWND hDialog)
{
    static const auto s_pfnDialog = UserFunction<SetDialogDpiChangeBehaviorFn>("SetDialogDpiChangeBehavior");
    static const auto s_pfnControl =
        UserFunction<SetDialogControlDpiChangeBehaviorFn>("SetDialogControlDpiChangeBehavior");
    if (s_pfnDialog != nullptr)
        s_pfnDialog(hDialog, DIALOG_DPI_CHANGE_DISABLE_ALL, DIALOG_DPI_CHANGE_DISABLE_ALL);
    if (s_pfnControl != nullptr)
        ::EnumChildWindows(hDialog, KeepControlLayout, reinterpret_cast<LPARAM>(s_pfnControl));
}

HFONT CreateScaledFont(HFONT hFont, int nFromDpi, int nToDpi, const wchar_t* pszFace)
{
    if (nFromDpi <= 0)
        return nullptr;
    LOGFONTW font = {};
    if (::GetObjectW(hFont != nullptr ? hFont : ::GetStockObject(SYSTEM_FONT), sizeof(font), &font) == 0)
        return nullptr;
    font.lfHeight = ::MulDiv(font.lfHeight, nToDpi, nFromDpi);
    // A width given for one scale (Wine keeps the system font's at 96 dpi) would squeeze the glyphs.
    font.lfWidth = 0;
    if (pszFace != nullptr && *pszFace != L'\0') {
        ::lstrcpynW(font.lfFaceName, pszFace, LF_FACESIZE);
        font.lfCharSet = DEFAULT_CHARSET;
    }
    return ::CreateFontIndirectW(&font);
}

int SystemMetricForDpi(int nIndex, int nDpi)
{
    using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto s_pfnMetric = UserFunction<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (s_pfnMetric != nullptr)
        return s_pfnMetric(nIndex, static_cast<UINT>(nDpi));
    return ::MulDiv(::GetSystemMetrics(nIndex), nDpi, SystemDpi());
}

namespace {

struct DialogScaling {
    HWND hDialog;
    int nFrom;
    int nTo;
    HFONT hFont;
};

BOOL CALLBACK ScaleControl(HWND hControl, LPARAM lParam)
{
    const auto* pScaling = reinterpret_cast<const DialogScaling*>(lParam);
    if (::GetParent(hControl) != pScaling->hDialog)
        return TRUE;
    RECT rc = {};
    ::GetWindowRect(hControl, &rc);
    ::MapWindowPoints(HWND_DESKTOP, pScaling->hDialog, reinterpret_cast<POINT*>(&rc), 2);
    auto scale = [pScaling](LONG n) { return ::MulDiv(n, pScaling->nTo, pScaling->nFrom); };
    ::SetWindowPos(hControl, nullptr, scale(rc.left), scale(rc.top), scale(rc.right) - scale(rc.left),
                   scale(rc.bottom) - scale(rc.top), SWP_NOZORDER | SWP_NOACTIVATE);
    if (pScaling->hFont != nullptr)
        ::SendMessageW(hControl, WM_SETFONT, reinterpret_cast<WPARAM>(pScaling->hFont), TRUE);
    return TRUE;
}

}  // namespace

void ScaleDialog(HWND hDialog, int nFromDpi, int nToDpi, HFONT* phFont)
{
    *phFont = nullptr;
    if (nFromDpi == nToDpi || nFromDpi <= 0)
        return;
    *phFont = CreateScaledFont(reinterpret_cast<HFONT>(::SendMessageW(hDialog, WM_GETFONT, 0, 0)), nFromDpi, nToDpi);
    DialogScaling scaling{hDialog, nFromDpi, nToDpi, *phFont};
    ::EnumChildWindows(hDialog, ScaleControl, reinterpret_cast<LPARAM>(&scaling));
    RECT rcClient = {};
    ::GetClientRect(hDialog, &rcClient);
    RECT rcWindow = {0, 0, ::MulDiv(rcClient.right, nToDpi, nFromDpi), ::MulDiv(rcClient.bottom, nToDpi, nFromDpi)};
    const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongPtrW(hDialog, GWL_STYLE));
    const DWORD dwExStyle = static_cast<DWORD>(::GetWindowLongPtrW(hDialog, GWL_EXSTYLE));
    AdjustWindowRectForDpi(&rcWindow, dwStyle, dwExStyle, WindowDpi(hDialog));
    ::SetWindowPos(hDialog, nullptr, 0, 0, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
