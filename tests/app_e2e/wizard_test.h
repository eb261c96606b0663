#pragma once
// Common ground of the wizard's end-to-end tests: a started wizard, the time budgets the user may expect
// (scaled like the wizard's own clock), and checks of what one page shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app_e2e/host_state.h"
#include "tests/app_e2e/wizard_session.h"
#include "tests/app_e2e/wizard_ui.h"

class WizardTest : public ::testing::Test {
protected:
    // Starts the wizard; with bDriverInstalled the driver's traces are there already (no installer run),
    // with bPlugged the device's port is in the serial-port map from the start.
    void StartWizard(bool bDriverInstalled, bool bPlugged);
    void TearDown() override;

    const CWizardWindow& Ui() const { return m_session.Window(); }
    DWORD Scaled(int nMs) const { return m_session.Scaled(nMs); }
    // One tick of the port timer as the user sees it: the period, the tick's own 100 ms pause, the page
    // change where the tick causes one, and what Wine and X add to a repaint.
    DWORD TimerBudgetMs(bool bPageChange = false) const;
    bool WaitUntil(const std::function<bool()>& condition, DWORD nTimeoutMs)
    {
        return CWizardSession::WaitUntil(condition, nTimeoutMs);
    }

    // The wizard's temporary folder holds nothing.
    void ExpectTempFolderEmpty();
    // What pages 4 and 5 show around the port timer.
    void ExpectConnectPage(bool bPortSeen);
    void ExpectReadyToStart();

    CWizardSession m_session;
};

// Reads "Elapsed time : 12 sec - 34%" or "Elapsed time : 1 min 5 sec - 34%": elapsed seconds and percent.
bool ParseElapsed(const std::string& strText, int* pnSeconds, int* pnPercent);
