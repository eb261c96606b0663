#pragma once
// Synchronous window messages from a worker thread to a window of the user-interface thread.
#include <cstdint>

namespace Platform {

using WindowHandle = void*;

// Sends the message and returns once the window's thread has handled it. False where there are no
// windows or the window is gone.
bool SendWindowMessage(WindowHandle hWnd, uint32_t nMessage, uintptr_t wParam, intptr_t lParam);

}  // namespace Platform
