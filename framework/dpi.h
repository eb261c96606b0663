#pragma once
// The display scale as Windows reports it. Newer systems know a scale per monitor and per window; the
// functions for it are looked up at run time, and where they are missing the system-wide scale serves
// (Windows 7 and 8 lay every program out at one scale).
#include <windows.h>

// The scale Windows designs for: 96 dots per inch is 100 %.
constexpr int BASE_DPI = 96;

// The scale of the screen's device context: what fonts and rich edit controls are made for.
int SystemDpi();
// The scale of the monitor the window is on, or the system's.
int WindowDpi(HWND hWnd);
// The window rectangle around a client rectangle at a scale: the system's frame for it.
bool AdjustWindowRectForDpi(RECT* pRect, DWORD dwStyle, DWORD dwExStyle, int nDpi);
// The work area of the monitor that holds most of the rectangle.
RECT WorkAreaOf(const RECT& rcWindow);
// A dialog lays itself out on a change of scale by our own code, not by the dialog manager's.
void KeepDialogLayoutOwn(HWND hDialog);
// A copy of a font (null: the system font) drawn nToDpi / nFromDpi times as large, its glyphs in their
// own proportions; null when it cannot be made. pszFace, when given, replaces the typeface.
HFONT CreateScaledFont(HFONT hFont, int nFromDpi, int nToDpi, const wchar_t* pszFace = nullptr);
// A system metric (SM_CYCAPTION, ...) at a scale.
int SystemMetricForDpi(int nIndex, int nDpi);
// Lays a dialog that the dialog manager made at nFromDpi out again at nToDpi: its client area, the
// places and sizes of its controls and their font (phFont receives the new font, which the caller
// keeps as long as the dialog lives; null when none was made).
void ScaleDialog(HWND hDialog, int nFromDpi, int nToDpi, HFONT* phFont);
