#pragma once
// What assistive technology asks of an owner-drawn choice (WM_GETOBJECT): the standard object of the
// window, but with the role of a radio button or check box and its checked state, which the system's
// own object cannot know for an owner-drawn button.
#include <windows.h>

// The answer to WM_GETOBJECT for the client object of hWnd; 0 if none could be made. The checked
// state is read from the window (BM_GETCHECK) each time it is asked for.
LRESULT AnswerChoiceObject(HWND hWnd, WPARAM wParam, bool bRadio);
