#pragma once
// Keyboard cues (focus marks, access-key underlines) as Windows shows them: hidden for a mouse user
// until the keyboard is used. Windows keeps that state per window (WM_QUERYUISTATE: the dialog manager
// starts it, Alt and keyboard navigation clear it). Wine keeps none and always answers "shown", so
// access keys also wait for the first key pressed in the window, which this watches on the calling
// thread's message queue from the first question on.
#include <windows.h>

namespace KeyboardCues {

// The system does not hide the focus mark of hWnd.
bool FocusShown(HWND hWnd);
// hWnd underlines its access keys: the system does not hide them, and a key has gone to a window of
// hWnd's top-level window since it opened. A change repaints that window's children.
bool AccessKeysShown(HWND hWnd);

}  // namespace KeyboardCues
