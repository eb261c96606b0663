#include "platform/window_message.h"

#include <windows.h>

namespace Platform {

bool SendWindowMessage(WindowHandle hWnd, uint32_t nMessage, uintptr_t wParam, intptr_t lParam)
{
    if (hWnd == nullptr || !IsWindow(static_cast<HWND>(hWnd))) {
        return false;
    }
    SendMessageA(static_cast<HWND>(hWnd), nMessage, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
    return true;
}

}  // namespace Platform
