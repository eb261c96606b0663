// How a download can end other than well: a device that refuses the data, a device pulled out before the
// start, a user closing the window in the middle of it.
#include <algorithm>
#include <cstdio>

#include "tests/app_e2e/wizard_test.h"

using namespace WizardUi;

namespace {

constexpr DWORD PAGE_TIMEOUT_MS = 15000;
constexpr DWORD RUN_TIMEOUT_MS = 120000;

using WizardOutcome = WizardTest;

BOOL CALLBACK FindVisibleEdit(HWND hChild, LPARAM lParam)
{
    wchar_t szClass[32] = {};
    GetClassNameW(hChild, szClass, 32);
    if (_wcsicmp(szClass, L"Edit") == 0 && IsWindowVisible(hChild)) {
        *reinterpret_cast<HWND*>(lParam) = hChild;
        return FALSE;
    }
    return TRUE;
}

// The file dialog the wizard opened: its file name set, then OK, as a user would type and press Enter.
// Empty when done, else what went wrong.
std::string SaveThroughFileDialog(HWND hOwner, const wchar_t* pszPath)
{
    HWND hDialog = nullptr;
    const ULONGLONG nEnd = GetTickCount64() + 30000;
    while (hDialog == nullptr && GetTickCount64() < nEnd) {
        HWND hPopup = GetLastActivePopup(hOwner);
        if (hPopup != hOwner && hPopup != nullptr && IsWindowVisible(hPopup))
            hDialog = hPopup;
        Sleep(50);
    }
    if (hDialog == nullptr)
        return "no file dialog";
    // The file name's box is the dialog's one visible edit (the folder list has none).
    HWND hName = nullptr;
    EnumChildWindows(hDialog, &FindVisibleEdit, reinterpret_cast<LPARAM>(&hName));
    if (hName == nullptr)
        return "no file name box";
    SendMessageW(hName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pszPath));
    SendMessageW(GetDlgItem(hDialog, IDOK), BM_CLICK, 0, 0);
    return "";
}

// The device refuses a block and its retry late in the third partition: the whole run's line has climbed
// and never gone back while the bar started again per partition, the failure says what to do, the
// support report is saved through the file dialog, and the restart leads to the beginning.
TEST_F(WizardOutcome, FailedDownloadOffersRestart)
{
    StartWizard(true, true);
    ASSERT_EQ("", m_session.WalkToPage(5));
    Ui().Click(ID_START);
    int nHighestPartition = 0, nPartitions = 0, nLastShare = 0, nBarRestarts = 0, nLastBar = 0;
    bool bTimeLeft = false;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::string strLine = Ui().Text(ID_RUN_PROGRESS);
            int nPartition = 0, nCount = 0, nShare = 0;
            if (std::sscanf(strLine.c_str(), "Partition %d of %d %*[^0-9]%d", &nPartition, &nCount, &nShare) == 3) {
                EXPECT_GE(nPartition, nHighestPartition) << strLine;
                EXPECT_GE(nShare, nLastShare) << strLine;
                nHighestPartition = std::max(nHighestPartition, nPartition);
                nPartitions = nCount;
                nLastShare = std::max(nLastShare, nShare);
                bTimeLeft = bTimeLeft || strLine.find(" left") != std::string::npos;
            }
            int nSeconds = 0, nBar = 0;
            if (ParseElapsed(Ui().Text(ID_PROGRESS), &nSeconds, &nBar)) {
                nBarRestarts += nBar < nLastBar ? 1 : 0;
                nLastBar = nBar;
            }
            return Ui().Visible(ID_IMG_FAILED);
        },
        RUN_TIMEOUT_MS))
        << "no failure banner; status: " << Ui().StatusPart(0);
    m_session.Screenshot("download_failed");
    EXPECT_EQ(4, nPartitions);
    EXPECT_EQ(3, nHighestPartition);
    EXPECT_GT(nLastShare, 20);
    EXPECT_GE(nBarRestarts, 1) << "the bar did not start again for a partition";
    EXPECT_TRUE(bTimeLeft) << "no time left shown";
    EXPECT_EQ(0u, Ui().Text(ID_GUIDANCE).rfind("Writing to the device failed.", 0)) << Ui().Text(ID_GUIDANCE);
    EXPECT_TRUE(Ui().Visible(ID_COPY_DETAILS));

    // The report, saved where the user says: the run as support needs it.
    Ui().Click(ID_SAVE_REPORT);
    const std::string strSaved = SaveThroughFileDialog(Ui().Dialog(), L"C:\\krt-report.txt");
    m_session.Screenshot("save_report");
    ASSERT_EQ("", strSaved);
    std::string strReport;
    ASSERT_TRUE(WaitUntil(
        [&] {
            FILE* pFile = std::fopen("C:\\krt-report.txt", "rb");
            if (pFile == nullptr)
                return false;
            char szChunk[4096];
            strReport.clear();
            for (size_t n; (n = std::fread(szChunk, 1, sizeof(szChunk), pFile)) > 0;)
                strReport.append(szChunk, n);
            std::fclose(pFile);
            return strReport.find("final: ") != std::string::npos;
        },
        15000));
    for (const char* pszField : {"krt-upgrade 1.0.019 run begins", "host: Windows 6.1, x64 machine", "host OS code 4107",
                                 "port: COM7 (\\Device\\qzcdserd0)", "bytes, md5 ", "attempt=2 (retry) -> status=7 refused",
                                 "final: Flash download error!"}) {
        EXPECT_NE(strReport.find(pszField), std::string::npos) << pszField;
    }
    EXPECT_TRUE(Ui().Visible(ID_IMG_FAILED)) << "the failure screen went away";
    EXPECT_EQ(PROGRESS_FAILED, Ui().Text(ID_PROGRESS));
    EXPECT_EQ(0.0, m_session.ProgressFill());
    EXPECT_EQ("Flash download error!", Ui().StatusPart(0));
    EXPECT_EQ("", Ui().StatusPart(3));
    EXPECT_FALSE(Ui().Visible(ID_IMG_UPDATING));
    EXPECT_TRUE(Ui().Visible(ID_EXIT) && Ui().Enabled(ID_EXIT));
    EXPECT_TRUE(Ui().IsAt(ID_EXIT, EXIT_RIGHT));
    EXPECT_TRUE(Ui().Visible(ID_START) && Ui().Enabled(ID_START));
    EXPECT_GT(m_session.FaceMatch(ID_START, BMP_RESTART_NORMAL), 0.9) << "the start button shows no restart face";
    EXPECT_EQ(5, m_session.ShownPage());
    ExpectTempFolderEmpty();

    // Restart: back to the beginning, not a new download.
    Ui().Click(ID_START);
    ASSERT_TRUE(m_session.WaitForPage(0, PAGE_TIMEOUT_MS));
    EXPECT_FALSE(Ui().Visible(ID_START));
    EXPECT_FALSE(Ui().Visible(ID_BACK));
    EXPECT_TRUE(Ui().IsAt(ID_EXIT, EXIT_LEFT));
    // The choices made before still hold.
    Ui().Click(ID_NEXT);
    ASSERT_TRUE(m_session.WaitForPage(1, PAGE_TIMEOUT_MS));
    EXPECT_TRUE(Ui().Checked(ID_LICENSE_ACCEPT));
    EXPECT_TRUE(Ui().Enabled(ID_NEXT));
    Ui().Click(ID_BACK);
    ASSERT_TRUE(m_session.WaitForPage(0, PAGE_TIMEOUT_MS));

    // The next arrival at the download page shows the start face again, the old outcome on the bar.
    ASSERT_EQ("", m_session.WalkToPage(5));
    ExpectReadyToStart();
    EXPECT_EQ(PROGRESS_FAILED, Ui().Text(ID_PROGRESS));
    m_session.Screenshot("page5_after_restart");
}

// Pulled out on the download page before the start: back to the connect page within one tick; back
// from there to page 3, the port timer stops.
TEST_F(WizardOutcome, UnplugBeforeStartReturnsToConnectPage)
{
    StartWizard(true, true);
    ASSERT_EQ("", m_session.WalkToPage(5));
    ExpectReadyToStart();
    ASSERT_TRUE(HostState::UnplugDevice());
    const ULONGLONG nUnplugged = GetTickCount64();
    ASSERT_TRUE(m_session.WaitForPage(4, TimerBudgetMs(true) + PAGE_TIMEOUT_MS));
    const ULONGLONG nBackAfter = GetTickCount64() - nUnplugged;
    std::printf("back on page 4 after %llu ms\n", nBackAfter);
    EXPECT_LE(nBackAfter, TimerBudgetMs(true));
    m_session.Screenshot("page4_after_unplug");
    ExpectConnectPage(false);

    // Plugged in again: the timer still runs.
    ASSERT_TRUE(HostState::PlugDevice(7));
    EXPECT_TRUE(WaitUntil([&] { return Ui().Enabled(ID_NEXT); }, TimerBudgetMs()));
    ExpectConnectPage(true);

    // Back to page 3 stops it: the status bar keeps what page 3 wrote, tick after tick.
    Ui().Click(ID_BACK);
    ASSERT_TRUE(m_session.WaitForPage(3, PAGE_TIMEOUT_MS));
    Sleep(TimerBudgetMs() + PORT_TIMER_MS);
    EXPECT_EQ(STATUS_READY_INIT, Ui().StatusPart(0));
    EXPECT_EQ(" ", Ui().StatusPart(3));
    EXPECT_TRUE(Ui().Enabled(ID_NEXT));
    EXPECT_FALSE(Ui().Visible(ID_IMG_CABLE_LARGE) || Ui().Visible(ID_IMG_CONNECTED));
}

// Closing while blocks are written asks first; No goes on writing, Yes stops the run cleanly and ends.
TEST_F(WizardOutcome, CloseDuringDownloadAsksAndStopsCleanly)
{
    StartWizard(true, true);
    ASSERT_EQ("", m_session.WalkToPage(5));
    Ui().Click(ID_START);
    auto writtenBytes = [&]() -> long long {
        const std::string strStatus = Ui().StatusPart(0);
        const size_t nEnd = strStatus.find("]  ");
        if (strStatus.rfind("Flash Writing.... [", 0) != 0 || nEnd == std::string::npos)
            return -1;
        return std::atoll(strStatus.c_str() + nEnd + 3);
    };
    ASSERT_TRUE(WaitUntil([&] { return writtenBytes() > 0; }, RUN_TIMEOUT_MS)) << Ui().StatusPart(0);

    // Alt+F4 as a user presses it: once more if the first press got lost on the way through X.
    auto askToClose = [&]() -> HWND {
        HWND hAsked = nullptr;
        for (int nTry = 0; nTry < 3 && hAsked == nullptr; ++nTry) {
            Ui().PressKey(VK_F4, VK_MENU);
            WaitUntil([&] { return (hAsked = m_session.MessageBoxWindow()) != nullptr; }, 3000);
            std::printf("Alt+F4 #%d: %s\n", nTry + 1, hAsked != nullptr ? "asked" : "nothing yet");
        }
        return hAsked;
    };
    HWND hBox = askToClose();
    ASSERT_NE(nullptr, hBox) << "closing asked nothing";
    m_session.ScreenshotOf(hBox, "close_during_download");
    EXPECT_NE(nullptr, GetDlgItem(hBox, IDYES));
    EXPECT_NE(nullptr, GetDlgItem(hBox, IDNO));
    std::printf("asked: %s\n", m_session.MessageBoxText(hBox).c_str());

    // No: the box goes, the writing goes on.
    const long long nBefore = writtenBytes();
    m_session.ClickMessageBoxButton(hBox, IDNO);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hBox); }, 5000));
    EXPECT_TRUE(m_session.Process().IsRunning());
    EXPECT_TRUE(WaitUntil([&] { return writtenBytes() > nBefore || writtenBytes() == 0; }, 10000))
        << "the download stopped after No";
    EXPECT_TRUE(Ui().Visible(ID_IMG_UPDATING));

    // Yes: the run stops, its files go, the wizard ends.
    hBox = askToClose();
    ASSERT_NE(nullptr, hBox) << "closing again asked nothing";
    const ULONGLONG nYes = GetTickCount64();
    m_session.ClickMessageBoxButton(hBox, IDYES);
    // Well before the remaining blocks could have been written (some 3500 blocks at 15 ms each).
    ASSERT_TRUE(m_session.Process().WaitForExit(15000)) << "the wizard did not end soon after Yes";
    std::printf("ended %llu ms after Yes\n", GetTickCount64() - nYes);
    ExpectTempFolderEmpty();
}

}  // namespace
