// The whole upgrade as a user goes through it, at real speed: every page, the driver package installed
// from the wizard, the device plugged in on the connect page, the shipped image flashed into the
// simulated device (which verifies its flash when it exits), the final page and Exit.
#include <atomic>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "tests/app_e2e/wizard_test.h"

using namespace WizardUi;

namespace {

constexpr DWORD PAGE_TIMEOUT_MS = 15000;
constexpr DWORD INSTALL_TIMEOUT_MS = 180000;
constexpr DWORD FLASH_TIMEOUT_MS = 300000;
constexpr const char* INSTALLER_NAME = "Velmora_Mobile_USB_Driver(V5.16)_V1.2.2200.0.msi";

// Every status line the wizard shows: read in a loop of its own, since the lines before the first
// block stand for only a command's round trip, shorter than a round of the test's checks on a busy
// machine. Once blocks are written the lines last longer and reading slows down, so as not to hold up
// the wizard.
class CStatusSampler {
public:
    explicit CStatusSampler(const CWizardWindow& ui)
        : m_thread([this, &ui] {
              bool bWriting = false;
              while (!m_bStop) {
                  std::string strLine = ui.StatusPart(0);
                  bWriting = bWriting || strLine.rfind("Flash Writing", 0) == 0;
                  {
                      std::lock_guard<std::mutex> lock(m_lock);
                      m_seen.insert(std::move(strLine));
                  }
                  Sleep(bWriting ? 20 : 1);
              }
          })
    {
    }
    ~CStatusSampler() { Stop(); }
    void Stop()
    {
        m_bStop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    // After Stop.
    const std::set<std::string>& Seen() const { return m_seen; }

private:
    std::atomic<bool> m_bStop{false};
    std::mutex m_lock;
    std::set<std::string> m_seen;
    std::thread m_thread;
};

class WizardWalk : public WizardTest {
protected:
    // Clicks Next or Back and watches Exit while the wizard changes page: true if Exit was ever disabled
    // (the driver installer ran) before nPage was shown.
    bool ClickAndWatchInstall(int nButton, int nPage, DWORD nTimeoutMs, bool* pbArrived)
    {
        Ui().Click(nButton);
        bool bExitDisabled = false;
        *pbArrived = WaitUntil(
            [&] {
                if (Ui().Visible(ID_EXIT) && !Ui().Enabled(ID_EXIT))
                    bExitDisabled = true;
                return Ui().AnswerTimeMs(20) >= 0 && m_session.ShownPage() == nPage;
            },
            nTimeoutMs);
        return bExitDisabled;
    }
};

TEST_F(WizardWalk, WholeUpgradeAtRealSpeed)
{
    StartWizard(false, false);
    std::string strVersion;
    ASSERT_FALSE(HostState::DriverVersion(&strVersion) || HostState::DriverFilePresent()) << "prefix not fresh";

    // Page 0: the window has its final size, the status bar its first text, no way back.
    ASSERT_TRUE(m_session.WaitForPage(0, PAGE_TIMEOUT_MS));
    m_session.Screenshot("page0_intro");
    const SIZE size = Ui().WindowSize();
    EXPECT_EQ(PAGE_WIDTH, size.cx);
    EXPECT_EQ(PAGE_HEIGHT + STATUS_BAR_HEIGHT + GetSystemMetrics(SM_CYCAPTION), size.cy);
    EXPECT_EQ(STATUS_READY_INIT, Ui().StatusPart(0));
    EXPECT_FALSE(Ui().Visible(ID_BACK));
    EXPECT_TRUE(Ui().Visible(ID_NEXT) && Ui().Enabled(ID_NEXT));
    EXPECT_TRUE(Ui().IsAt(ID_NEXT, NEXT));
    EXPECT_TRUE(Ui().IsAt(ID_EXIT, EXIT_LEFT));
    EXPECT_FALSE(Ui().Visible(ID_LICENSE_TEXT));

    // Page 1: declined until the user accepts; Next follows the choice at once.
    Ui().Click(ID_NEXT);
    ASSERT_TRUE(m_session.WaitForPage(1, PAGE_TIMEOUT_MS));
    m_session.Screenshot("page1_license");
    EXPECT_TRUE(Ui().Checked(ID_LICENSE_DECLINE));
    EXPECT_FALSE(Ui().Checked(ID_LICENSE_ACCEPT));
    EXPECT_FALSE(Ui().Enabled(ID_NEXT));
    EXPECT_TRUE(Ui().IsAt(ID_BACK, BACK));
    EXPECT_TRUE(Ui().IsAt(ID_LICENSE_ACCEPT, LICENSE_ACCEPT));
    EXPECT_TRUE(Ui().IsAt(ID_LICENSE_DECLINE, LICENSE_DECLINE));
    EXPECT_TRUE(Ui().Visible(ID_LICENSE_TEXT));
    EXPECT_TRUE(Ui().IsAt(ID_LICENSE_TEXT, LICENSE_TEXT));
    const std::string strLicense = Ui().Text(ID_LICENSE_TEXT);
    EXPECT_GT(strLicense.size(), 500u);
    Ui().Click(ID_LICENSE_ACCEPT);
    EXPECT_TRUE(WaitUntil([&] { return Ui().Enabled(ID_NEXT); }, 1000)) << "accepting did not enable Next";
    EXPECT_TRUE(Ui().Checked(ID_LICENSE_ACCEPT));
    EXPECT_TRUE(WaitUntil([&] { return !Ui().Checked(ID_LICENSE_DECLINE); }, 1000));
    Ui().Click(ID_LICENSE_DECLINE);
    EXPECT_TRUE(WaitUntil([&] { return !Ui().Enabled(ID_NEXT); }, 1000)) << "declining did not disable Next";
    Ui().Click(ID_LICENSE_ACCEPT);
    ASSERT_TRUE(WaitUntil([&] { return Ui().Enabled(ID_NEXT); }, 1000));
    m_session.Screenshot("page1_license_accepted");

    // Page 2: the driver is missing, so the embedded package installs on the way (Exit disabled meanwhile).
    bool bArrived = false;
    EXPECT_TRUE(ClickAndWatchInstall(ID_NEXT, 2, INSTALL_TIMEOUT_MS, &bArrived)) << "the installer did not run";
    ASSERT_TRUE(bArrived) << "page 2 not shown after the installation; message box: "
                          << m_session.MessageBoxText(m_session.MessageBoxWindow());
    m_session.Screenshot("page2_notice");
    EXPECT_TRUE(HostState::DriverFilePresent());
    EXPECT_TRUE(HostState::DriverVersion(&strVersion));
    EXPECT_EQ("5.16.0.0", strVersion);
    EXPECT_TRUE(Ui().Enabled(ID_EXIT));
    for (const std::string& strFile : HostState::FilesUnder(m_session.TempFolder()))
        EXPECT_NE(INSTALLER_NAME, strFile) << "the installer package was left behind";
    EXPECT_TRUE(Ui().Checked(ID_NOTICE_DECLINE));
    EXPECT_FALSE(Ui().Enabled(ID_NEXT));
    EXPECT_FALSE(Ui().Visible(ID_LICENSE_ACCEPT));
    EXPECT_TRUE(Ui().IsAt(ID_NOTICE_ACCEPT, NOTICE_ACCEPT));
    EXPECT_TRUE(Ui().IsAt(ID_NOTICE_DECLINE, NOTICE_DECLINE));
    // The two choices' windows overlap (x 530 to 584), their faces (207 x 43 from each window's corner) do
    // not: a click anywhere on a face chooses it, a click in a window but off its face chooses nothing.
    const POINT ptOrigin = Ui().ClientOrigin();
    auto clickAt = [&](int x, int y) {
        ClickScreenPoint({ptOrigin.x + x, ptOrigin.y + y});
        Sleep(150);
    };
    auto choice = [&] { return std::make_pair(Ui().Checked(ID_NOTICE_ACCEPT), Ui().Checked(ID_NOTICE_DECLINE)); };
    const std::pair<bool, bool> ACCEPTED = {true, false}, DECLINED = {false, true};
    for (const POINT& pt : {POINT{262, 402}, POINT{465, 441}, POINT{363, 421}}) {
        clickAt(530 + 6, 421);  // Decline's circle, inside Accept's window
        EXPECT_TRUE(WaitUntil([&] { return choice() == DECLINED; }, 1000)) << "Decline's face at x 536";
        clickAt(pt.x, pt.y);
        EXPECT_TRUE(WaitUntil([&] { return choice() == ACCEPTED; }, 1000)) << "Accept's face at " << pt.x << "," << pt.y;
    }
    for (int x : {550, 564, 578, 735}) {
        clickAt(x, 441);
        EXPECT_TRUE(WaitUntil([&] { return choice() == DECLINED; }, 1000)) << "Decline's face at x " << x;
        clickAt(300, 402);
        EXPECT_TRUE(WaitUntil([&] { return choice() == ACCEPTED; }, 1000));
    }
    for (const POINT& pt : {POINT{480, 421}, POINT{525, 421}, POINT{300, 450}, POINT{700, 450}, POINT{800, 421}})
        clickAt(pt.x, pt.y);
    EXPECT_TRUE(choice() == ACCEPTED) << "a click off both faces changed the choice";
    EXPECT_TRUE(Ui().Enabled(ID_NEXT));
    Ui().Click(ID_NOTICE_ACCEPT);
    ASSERT_TRUE(WaitUntil([&] { return Ui().Enabled(ID_NEXT); }, 1000));

    // Page 3 and back: the check runs again and finds the driver, so nothing is installed this time.
    Ui().Click(ID_NEXT);
    ASSERT_TRUE(m_session.WaitForPage(3, PAGE_TIMEOUT_MS));
    m_session.Screenshot("page3_download_mode");
    EXPECT_EQ(STATUS_READY_INIT, Ui().StatusPart(0));
    EXPECT_EQ(" ", Ui().StatusPart(3));
    EXPECT_TRUE(Ui().Enabled(ID_NEXT));
    const ULONGLONG nBack = GetTickCount64();
    EXPECT_FALSE(ClickAndWatchInstall(ID_BACK, 2, PAGE_TIMEOUT_MS, &bArrived)) << "the driver was installed again";
    ASSERT_TRUE(bArrived);
    // An installation waits 3 s before it even looks at the installer.
    EXPECT_LT(GetTickCount64() - nBack, 3000u);
    EXPECT_TRUE(Ui().Checked(ID_NOTICE_ACCEPT)) << "the notice choice was forgotten";
    EXPECT_TRUE(Ui().Enabled(ID_NEXT));
    Ui().Click(ID_NEXT);
    ASSERT_TRUE(m_session.WaitForPage(3, PAGE_TIMEOUT_MS));
    Ui().Click(ID_NEXT);
    ASSERT_TRUE(m_session.WaitForPage(4, PAGE_TIMEOUT_MS));

    // Page 4 without the device: Next stays disabled, the timer says so.
    Sleep(TimerBudgetMs());
    ExpectConnectPage(false);
    m_session.Screenshot("page4_connect");
    // The device appears: Next within one tick.
    ASSERT_TRUE(HostState::PlugDevice(7));
    const ULONGLONG nPlugged = GetTickCount64();
    ASSERT_TRUE(WaitUntil([&] { return Ui().Enabled(ID_NEXT); }, TimerBudgetMs() + 2000));
    const ULONGLONG nSeenAfter = GetTickCount64() - nPlugged;
    std::printf("device seen after %llu ms\n", nSeenAfter);
    EXPECT_LE(nSeenAfter, TimerBudgetMs()) << "Next came later than one timer period after the device appeared";
    ExpectConnectPage(true);
    m_session.Screenshot("page4_connected");

    // Page 5.
    Ui().Click(ID_NEXT);
    ASSERT_TRUE(m_session.WaitForPage(5, PAGE_TIMEOUT_MS));
    ExpectReadyToStart();
    m_session.Screenshot("page5_download");

    // The download at the device's real pace.
    const ULONGLONG nStart = GetTickCount64();
    CStatusSampler statusSampler(Ui());
    Ui().Click(ID_START);
    ASSERT_TRUE(WaitUntil([&] { return Ui().Visible(ID_IMG_UPDATING); }, PAGE_TIMEOUT_MS));
    EXPECT_FALSE(Ui().Visible(ID_IMG_PRESS_START));
    int nLastPercent = -1;
    bool bShotTaken = false;
    const bool bFinished = WaitUntil(
        [&] {
            int nSeconds = 0;
            int nPercent = 0;
            if (ParseElapsed(Ui().Text(ID_PROGRESS), &nSeconds, &nPercent)) {
                if (!bShotTaken && nPercent >= 30) {
                    m_session.Screenshot("download_in_progress");
                    EXPECT_FALSE(Ui().Enabled(ID_START));
                    EXPECT_FALSE(Ui().Visible(ID_EXIT) || Ui().Visible(ID_BACK) || Ui().Visible(ID_NEXT));
                    EXPECT_TRUE(Ui().Visible(ID_IMG_CABLE_SMALL));
                    bShotTaken = true;
                }
                nLastPercent = nPercent;
            }
            return Ui().Visible(ID_EXIT) && m_session.ShownPage() == 6;
        },
        FLASH_TIMEOUT_MS);
    const ULONGLONG nFlashMs = GetTickCount64() - nStart;
    std::printf("start to page 6: %.1f s\n", nFlashMs / 1000.0);
    ASSERT_TRUE(bFinished) << "no page 6; status: " << Ui().StatusPart(0) << "; progress: " << Ui().Text(ID_PROGRESS);
    EXPECT_TRUE(bShotTaken);
    EXPECT_EQ(100, nLastPercent);
    statusSampler.Stop();
    const std::set<std::string>& statusSeen = statusSampler.Seen();
    EXPECT_TRUE(statusSeen.count("Download Start"));
    EXPECT_TRUE(statusSeen.count("Rebooting phone"));
    bool bWriting = false;
    for (const std::string& strStatus : statusSeen)
        bWriting = bWriting || strStatus.rfind("Flash Writing.... [", 0) == 0;
    EXPECT_TRUE(bWriting) << "no \"Flash Writing....\" line was seen";
    // About 40 s of writing plus the 15 s the device takes to reboot.
    EXPECT_GT(nFlashMs, 15000u);

    // Page 6.
    m_session.Screenshot("page6_complete");
    EXPECT_TRUE(Ui().IsAt(ID_EXIT, EXIT_RIGHT));
    EXPECT_FALSE(Ui().Visible(ID_BACK) || Ui().Visible(ID_NEXT) || Ui().Visible(ID_START));
    EXPECT_FALSE(Ui().Visible(ID_PROGRESS) || Ui().Visible(ID_IMG_SUCCESS) || Ui().Visible(ID_IMG_UPDATING));
    EXPECT_EQ(STATUS_COMPLETE, Ui().StatusPart(0));
    EXPECT_EQ("", Ui().StatusPart(3));
    ExpectTempFolderEmpty();

    Ui().Click(ID_EXIT);
    EXPECT_TRUE(m_session.Process().WaitForExit(10000)) << "Exit did not end the wizard";
}

}  // namespace
