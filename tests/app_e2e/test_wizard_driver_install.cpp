// A driver package that does not install ends the wizard with "Error Occured! USB Install Fail!".
// Two ways to fail: the shell's command for installer packages installs nothing (the installer "runs"
// and exits with 1603), and the temporary folder is gone, so the package cannot even be written.
#include "tests/app_e2e/wizard_test.h"

using namespace WizardUi;

namespace {

constexpr DWORD PAGE_TIMEOUT_MS = 15000;
constexpr DWORD INSTALL_TIMEOUT_MS = 120000;

class WizardDriverInstall : public WizardTest {
protected:
    // From page 1 with the licence accepted, Next runs the check; the box must come and end the wizard.
    void ExpectInstallFailureEnds(const std::string& strShot)
    {
        Ui().Click(ID_NEXT);
        HWND hBox = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (hBox = m_session.MessageBoxWindow()) != nullptr; }, INSTALL_TIMEOUT_MS))
            << "no message; shown page " << m_session.ShownPage();
        EXPECT_EQ(INSTALL_FAILED, m_session.MessageBoxText(hBox));
        m_session.ScreenshotOf(hBox, strShot);
        // The package is deleted before the message shows.
        ExpectTempFolderEmpty();
        EXPECT_FALSE(HostState::DriverFilePresent());
        m_session.ClickMessageBoxButton(hBox, IDOK);
        EXPECT_TRUE(m_session.Process().WaitForExit(15000)) << "the wizard did not end after the message";
    }
    void WalkToAcceptedLicence()
    {
        ASSERT_EQ("", m_session.WalkToPage(1));
        Ui().Click(ID_LICENSE_ACCEPT);
        ASSERT_TRUE(WaitUntil([&] { return Ui().Enabled(ID_NEXT); }, 2000));
    }
};

TEST_F(WizardDriverInstall, InstallerThatInstallsNothingEndsTheWizard)
{
    ASSERT_TRUE(HostState::BreakInstallerAssociation());
    StartWizard(false, false);
    WalkToAcceptedLicence();
    ExpectInstallFailureEnds("usb_install_failed");
}

TEST_F(WizardDriverInstall, PackageThatCannotBeWrittenEndsTheWizard)
{
    StartWizard(false, false);
    WalkToAcceptedLicence();
    HostState::RemoveFolder(m_session.TempFolder().substr(0, m_session.TempFolder().size() - 1));
    ExpectInstallFailureEnds("usb_install_failed_no_temp");
}

}  // namespace
