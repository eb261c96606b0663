#pragma once
// The wizard's dialog seen from another process: texts, states and places of its controls, the status
// bar's parts, and a user's mouse and keys (SendInput) on it.
#include <windows.h>

#include <string>

#include "tests/app_e2e/wizard_ui.h"

class CWizardWindow {
public:
    CWizardWindow() = default;
    CWizardWindow(HWND hDialog, DWORD dwProcessId) : m_hDialog(hDialog), m_dwProcessId(dwProcessId) {}

    HWND Dialog() const { return m_hDialog; }
    HWND Control(int nId) const { return GetDlgItem(m_hDialog, nId); }
    bool Exists() const { return m_hDialog != nullptr && IsWindow(m_hDialog); }

    std::string Text(int nId) const;
    bool Visible(int nId) const;
    bool Enabled(int nId) const;
    bool Checked(int nId) const;
    // The control of the dialog that has the keyboard focus (0 for none or another window).
    int FocusedId() const;
    // The control's rectangle in the dialog's client coordinates.
    RECT Place(int nId) const;
    bool IsAt(int nId, const WizardUi::Place& place) const;
    // Outer size of the dialog window.
    SIZE WindowSize() const;
    POINT ClientOrigin() const;

    HWND StatusBar() const;
    // Text of a status bar part, read through a buffer in the wizard's own memory.
    std::string StatusPart(int nPart) const;

    // A user's click at the centre of a control (or any window), and keys, after bringing it to the front.
    void Click(int nId) const;
    void ClickWindow(HWND hWnd) const;
    void PressKey(WORD nKey, WORD nModifier = 0) const;
    // Keys to whatever has the keyboard now (an open menu, say), without bringing the wizard forward.
    void PressKeyHere(WORD nKey, WORD nModifier = 0) const;
    bool BringToFront() const;

    // Time for a message from another process to be answered, in ms; negative when it was not answered
    // within nTimeoutMs.
    double AnswerTimeMs(UINT nTimeoutMs) const;

private:
    HWND m_hDialog = nullptr;
    DWORD m_dwProcessId = 0;
};

// Moves the mouse to a screen point and clicks there with the left button.
void ClickScreenPoint(POINT point);
