#pragma once
// Right-to-left languages lay a window out mirrored: its children stand at the same distance from the
// leading edge, which is now the right one, and their own drawing is mirrored too (a forward arrow
// points left), unless the child must keep its orientation (a drawing of the device, a text control
// that orders its own paragraphs).
#include <windows.h>

// True for a child that must not be mirrored.
using KeepOrientation = bool (*)(HWND hChild, void* pContext);

// Mirrors hWnd's layout (bRightToLeft) or undoes it, and places its children again so that they
// keep their distance from the leading edge. Nothing happens when the layout is already so.
void SetReadingOrder(HWND hWnd, bool bRightToLeft, KeepOrientation pfnKeep = nullptr, void* pContext = nullptr);
bool IsRightToLeftLayout(HWND hWnd);
