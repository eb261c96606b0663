#pragma once
// The wizard's dialog made modeless in the test's own process, on a private X display under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "app/upgrade_dialog.h"

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Handles the dialog's messages for nMs real milliseconds.
    static void Pump(DWORD nMs);
    // Handles messages until the condition holds or nMs pass; the condition's last value.
    template <class Fn>
    static bool PumpUntil(Fn fnDone, DWORD nMs = 10000)
    {
        const DWORD dwStart = GetTickCount();
        while (!fnDone()) {
            if (GetTickCount() - dwStart > nMs) {
                return fnDone();
            }
            Pump(10);
        }
        return true;
    }

    void Click(int nId);
    void GoToPage(int nPage);
    HWND Item(int nId) const { return GetDlgItem(m_pDlg->m_hWnd, nId); }
    RECT ClientRectOf(int nId) const;
    std::string StatusPart(int nPart) const;
    // A control's window text, as UTF-8.
    std::string WindowText(int nId) const;
    std::string ProgressCaption() const;

    // The device's port in the system's serial-port map, or none.
    static void SetDevicePort(const char* pszPort);
    static std::string StagedImagePath();

    std::unique_ptr<CVelmoraEUT_KRT_P940Dlg> m_pDlg;
};

// Answers the next message box of the program with a button (IDYES, IDNO, IDOK) from another thread.
class CBoxAnswerer {
public:
    explicit CBoxAnswerer(int nButton);
    ~CBoxAnswerer();
    std::string Text() const;
    // The window the box belongs to (it stays in front of that one).
    HWND Owner() const;
    bool Answered() const;

    struct State;

private:
    std::shared_ptr<State> m_pState;
    HANDLE m_hThread = nullptr;
};
