#include "tests/app_e2e/wizard_test.h"

#include <cstdio>

using namespace WizardUi;

namespace {

// Wine, X and a machine shared with other builds add this much at most to a tick seen from outside.
constexpr DWORD WINE_SLACK_MS = 1500;

}  // namespace

void WizardTest::StartWizard(bool bDriverInstalled, bool bPlugged)
{
    if (bDriverInstalled) {
        ASSERT_TRUE(HostState::MarkDriverInstalled());
    }
    if (bPlugged) {
        ASSERT_TRUE(HostState::PlugDevice(7));
    }
    ASSERT_FALSE(m_session.WizardExe().empty()) << "KRT_WIZARD_EXE is not set";
    ASSERT_TRUE(m_session.Start()) << "no wizard window with the title \"" << Narrow(TITLE) << "\"";
}

void WizardTest::TearDown()
{
    if (HasFailure() && m_session.Window().Exists())
        m_session.Screenshot(std::string("failed_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

DWORD WizardTest::TimerBudgetMs(bool bPageChange) const
{
    // The window timer runs in real time; the pauses may be scaled, so take them whole as the bound.
    return PORT_TIMER_MS + 100 + (bPageChange ? PAGE_PAUSE_MS : 0) + WINE_SLACK_MS;
}

void WizardTest::ExpectTempFolderEmpty()
{
    std::vector<std::string> files = HostState::FilesUnder(m_session.TempFolder());
    std::string strList;
    for (const std::string& strFile : files)
        strList += " " + strFile;
    EXPECT_TRUE(files.empty()) << "left in the temporary folder:" << strList;
}

void WizardTest::ExpectConnectPage(bool bPortSeen)
{
    // States can be read while a handler is half-way; wait until the wizard is back in its message loop.
    Ui().AnswerTimeMs(5000);
    EXPECT_TRUE(Ui().Visible(ID_BACK));
    EXPECT_TRUE(Ui().Visible(ID_EXIT));
    EXPECT_TRUE(Ui().IsAt(ID_EXIT, EXIT_LEFT));
    EXPECT_TRUE(Ui().Visible(ID_NEXT));
    EXPECT_EQ(bPortSeen, Ui().Enabled(ID_NEXT));
    EXPECT_EQ(bPortSeen, Ui().Visible(ID_IMG_CABLE_LARGE));
    EXPECT_EQ(bPortSeen, Ui().Visible(ID_IMG_CONNECTED));
    EXPECT_FALSE(Ui().Visible(ID_IMG_CABLE_SMALL));
    EXPECT_FALSE(Ui().Visible(ID_START));
    EXPECT_EQ(bPortSeen ? STATUS_READY : STATUS_DETECT, Ui().StatusPart(0));
    EXPECT_EQ(bPortSeen ? "Com7 Connected" : STATUS_DISCONNECTED, Ui().StatusPart(3));
}

void WizardTest::ExpectReadyToStart()
{
    Ui().AnswerTimeMs(5000);
    EXPECT_FALSE(Ui().Visible(ID_BACK));
    EXPECT_FALSE(Ui().Visible(ID_NEXT));
    EXPECT_FALSE(Ui().Visible(ID_EXIT));
    EXPECT_TRUE(Ui().Visible(ID_START));
    EXPECT_TRUE(Ui().IsAt(ID_START, START));
    EXPECT_TRUE(Ui().Enabled(ID_START));
    EXPECT_TRUE(Ui().Visible(ID_PROGRESS));
    EXPECT_TRUE(Ui().IsAt(ID_PROGRESS, PROGRESS));
    EXPECT_TRUE(Ui().Visible(ID_IMG_PRESS_START));
    EXPECT_TRUE(Ui().Visible(ID_IMG_CABLE_SMALL));
    EXPECT_FALSE(Ui().Visible(ID_IMG_CABLE_LARGE));
    EXPECT_FALSE(Ui().Visible(ID_IMG_CONNECTED));
    EXPECT_FALSE(Ui().Visible(ID_IMG_FAILED));
    EXPECT_FALSE(Ui().Visible(ID_IMG_UPDATING));
    EXPECT_GT(m_session.FaceMatch(ID_START, BMP_START_NORMAL), 0.9) << "the start button shows another face";
}

bool ParseElapsed(const std::string& strText, int* pnSeconds, int* pnPercent)
{
    int nMinutes = 0;
    int nSeconds = 0;
    int nPercent = 0;
    char szRest[8] = {};
    if (std::sscanf(strText.c_str(), "Elapsed time : %d min %d sec - %d%%%7s", &nMinutes, &nSeconds, &nPercent,
                    szRest) == 3) {
        *pnSeconds = nMinutes * 60 + nSeconds;
        *pnPercent = nPercent;
        return nSeconds < 60 && strText.back() == '%';
    }
    if (std::sscanf(strText.c_str(), "Elapsed time : %d sec - %d%%%7s", &nSeconds, &nPercent, szRest) == 2) {
        *pnSeconds = nSeconds;
        *pnPercent = nPercent;
        return strText.back() == '%';
    }
    return false;
}
