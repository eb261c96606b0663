#include "framework/keyboard_cues.h"

namespace {

// Set on a top-level window once a key has gone to it or its children.
ATOM KeyPressedProperty()
{
    static const ATOM s_atom = ::GlobalAddAtomA("KrtKeyboardUsed");
    return s_atom;
}

BOOL CALLBACK RepaintChild(HWND hChild, LPARAM)
{
    ::InvalidateRect(hChild, nullptr, FALSE);
    return TRUE;
}

LRESULT CALLBACK OnGetMessage(int nCode, WPARAM wParam, LPARAM lParam)
{
    const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
    if (nCode == HC_ACTION && wParam == PM_REMOVE && pMsg->hwnd != nullptr &&
        (pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN)) {
        HWND hRoot = ::GetAncestor(pMsg->hwnd, GA_ROOT);
        if (hRoot != nullptr && ::GetPropA(hRoot, MAKEINTATOM(KeyPressedProperty())) == nullptr) {
            ::SetPropA(hRoot, MAKEINTATOM(KeyPressedProperty()), reinterpret_cast<HANDLE>(1));
            ::EnumChildWindows(hRoot, RepaintChild, 0);
        }
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

// One watch per thread, for the thread's life (the hook goes with it).
void WatchKeys()
{
    thread_local HHOOK t_hHook = ::SetWindowsHookExA(WH_GETMESSAGE, OnGetMessage, nullptr, ::GetCurrentThreadId());
    (void)t_hHook;
}

}  // namespace

namespace KeyboardCues {

bool FocusShown(HWND hWnd)
{
    return (::SendMessageA(hWnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

bool AccessKeysShown(HWND hWnd)
{
    WatchKeys();
    if (::SendMessageA(hWnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL)
        return false;
    HWND hRoot = ::GetAncestor(hWnd, GA_ROOT);
    return hRoot != nullptr && ::GetPropA(hRoot, MAKEINTATOM(KeyPressedProperty())) != nullptr;
}

}  // namespace KeyboardCues
