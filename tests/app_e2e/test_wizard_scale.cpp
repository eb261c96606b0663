// The wizard at display scales of 125, 150 and 200 % as Wine gives them (the user's LogPixels, read when a
// program starts), one wizard per scale walked through its pages: the client area and every visible
// control are today's times the scale, and the faces, pictures and pages on the screen are that scale's
// own artwork pixel for pixel. One whole upgrade: started at 100 %, the window moves to a 150 % monitor
// as the download starts, so that the download runs at 150 %, and on to a 200 % one on the final page.
// Windows would send WM_DPICHANGED; Wine has one scale for all monitors and never does, so the test
// posts it.
#include <cstdlib>
#include <string>

#include "tests/app_e2e/wizard_test.h"

using namespace WizardUi;

namespace {

constexpr DWORD PAGE_TIMEOUT_MS = 15000;
constexpr DWORD FLASH_TIMEOUT_MS = 240000;
// The share of pixels that must be the artwork's outside its words: all but a few at the edges of focus.
constexpr double ARTWORK_MATCH = 0.98;
// The share of a words box the words cover at least ("Exit", the shortest caption, covers 4 % of its box;
// a box without words differs from the picture by nothing but noise).
constexpr double WORDS_SHARE = 0.02;

// A control as the user sees it: where it is at 100 %, the face it shows, and the one it shows while
// disabled (a push button) or checked (a choice); 0 for none.
struct ShownControl {
    int nId;
    Place place;
    int nFace;
    int nOtherFace;
};

const ShownControl CONTROLS[] = {
    {ID_BACK, BACK, 2011, 0},
    {ID_NEXT, NEXT, BMP_NEXT_NORMAL, BMP_NEXT_DISABLED},
    {ID_LICENSE_ACCEPT, LICENSE_ACCEPT, 2018, 2019},
    {ID_LICENSE_DECLINE, LICENSE_DECLINE, 2020, 2021},
    {ID_NOTICE_ACCEPT, NOTICE_ACCEPT, 138, 139},
    {ID_NOTICE_DECLINE, NOTICE_DECLINE, 140, 141},
    {ID_START, START, BMP_START_NORMAL, BMP_START_DISABLED},
    {ID_LICENSE_TEXT, LICENSE_TEXT, 0, 0},
    {ID_PROGRESS, PROGRESS, 0, 0},
    {ID_IMG_PRESS_START, IMG_PRESS_START, 2026, 0},
    {ID_IMG_UPDATING, IMG_UPDATING, BMP_UPDATING, 0},
    {ID_IMG_SUCCESS, IMG_SUCCESS, 2027, 0},
    {ID_IMG_CONNECTED, IMG_CONNECTED, 143, 0},
    {ID_IMG_FAILED, IMG_FAILED, BMP_FAILED, 0},
    {ID_IMG_CABLE_SMALL, IMG_CABLE_SMALL, 145, 0},
    {ID_IMG_CABLE_LARGE, IMG_CABLE_LARGE, 134, 0},
};

bool HasWords(int nBitmap)
{
    for (const WordsBox& box : WORDS_BOXES) {
        if (box.nBitmap == nBitmap)
            return true;
    }
    return false;
}

bool IsChoice(int nId)
{
    return nId == ID_LICENSE_ACCEPT || nId == ID_LICENSE_DECLINE || nId == ID_NOTICE_ACCEPT || nId == ID_NOTICE_DECLINE;
}

// A rectangle written into the wizard's memory, where the message's pointer has to point.
class CRemoteRect {
public:
    CRemoteRect(DWORD dwProcessId, const RECT& rect)
    {
        m_hProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, dwProcessId);
        if (m_hProcess != nullptr)
            m_pRemote = VirtualAllocEx(m_hProcess, nullptr, sizeof(rect), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (m_pRemote != nullptr)
            WriteProcessMemory(m_hProcess, m_pRemote, &rect, sizeof(rect), nullptr);
    }
    ~CRemoteRect()
    {
        if (m_pRemote != nullptr)
            VirtualFreeEx(m_hProcess, m_pRemote, 0, MEM_RELEASE);
        if (m_hProcess != nullptr)
            CloseHandle(m_hProcess);
    }
    LPARAM Pointer() const { return reinterpret_cast<LPARAM>(m_pRemote); }

private:
    HANDLE m_hProcess = nullptr;
    void* m_pRemote = nullptr;
};

class WizardScale : public WizardTest {
protected:
    void StartAt(int nDpi, const std::string& strShotPrefix)
    {
        ASSERT_TRUE(HostState::SetDisplayDpi(nDpi));
        m_session.SetScale(nDpi, strShotPrefix);
        StartWizard(true, true);
    }

    // What the screen shows on a page at the session's scale.
    void ExpectScaled(int nPage)
    {
        Ui().AnswerTimeMs(5000);
        const std::string strAt = " at " + std::to_string(m_session.Dpi()) + " dpi on page " + std::to_string(nPage);
        RECT rcClient = {};
        GetClientRect(Ui().Dialog(), &rcClient);
        EXPECT_NEAR(m_session.Px(CLIENT_WIDTH), rcClient.right, 1) << "client width" << strAt;
        EXPECT_NEAR(m_session.Px(CLIENT_HEIGHT), rcClient.bottom, 1) << "client height" << strAt;
        RECT rcBar = {};
        GetWindowRect(Ui().StatusBar(), &rcBar);
        EXPECT_NEAR(m_session.Px(STATUS_BAR_OUTER_HEIGHT), rcBar.bottom - rcBar.top, 1) << "status bar" << strAt;
        EXPECT_EQ(rcClient.right, rcBar.right - rcBar.left) << "status bar" << strAt;
        double dShare = 0.0;
        EXPECT_EQ(nPage, m_session.ShownPage(&dShare)) << strAt;
        EXPECT_GE(dShare, ARTWORK_MATCH) << "page background" << strAt;

        auto expectControl = [&](int nId, const Place& place, int nFace) {
            const RECT rc = Ui().Place(nId);
            const bool bPlaced = std::abs(rc.left - m_session.Px(place.x)) <= 1 &&
                                 std::abs(rc.top - m_session.Px(place.y)) <= 1 &&
                                 std::abs(rc.right - rc.left - m_session.Px(place.cx)) <= 1 &&
                                 std::abs(rc.bottom - rc.top - m_session.Px(place.cy)) <= 1;
            EXPECT_TRUE(bPlaced) << "control " << nId << " at " << rc.left << "," << rc.top << " "
                                 << rc.right - rc.left << "x" << rc.bottom - rc.top << strAt;
            if (nFace != 0) {
                EXPECT_GE(m_session.FaceMatch(nId, nFace), ARTWORK_MATCH) << "control " << nId << ", bitmap " << nFace << strAt;
                // Its words are drawn over the picture, which has none.
                if (HasWords(nFace))
                    EXPECT_GE(m_session.WordsShare(nId, nFace), WORDS_SHARE) << "control " << nId << ", bitmap " << nFace << strAt;
            }
        };
        for (const ShownControl& control : CONTROLS) {
            if (!Ui().Visible(control.nId))
                continue;
            const bool bOther = IsChoice(control.nId) ? Ui().Checked(control.nId) : !Ui().Enabled(control.nId);
            expectControl(control.nId, control.place, bOther && control.nOtherFace != 0 ? control.nOtherFace : control.nFace);
        }
        if (Ui().Visible(ID_EXIT))
            expectControl(ID_EXIT, nPage == 6 ? EXIT_RIGHT : EXIT_LEFT, 2016);
    }

    void WalkScaled(int nLastPage, bool bScreenshots)
    {
        const std::string strError = m_session.WalkToPage(nLastPage, bScreenshots, [&](int nPage) {
            if (nPage == 4) {
                // The connect page changes once the port timer has seen the device.
                EXPECT_TRUE(WaitUntil([&] { return Ui().Enabled(ID_NEXT) && Ui().Visible(ID_IMG_CONNECTED); }, PAGE_TIMEOUT_MS));
                if (bScreenshots)
                    m_session.Screenshot("page4_connected");
            }
            ExpectScaled(nPage);
        });
        ASSERT_EQ("", strError);
    }

    // The download from the start button to the final page: progress and texts as at 100 %, the screen at
    // the scale; fnStarted runs as soon as the download has started.
    void Download(const std::function<void()>& fnStarted, bool bScreenshots)
    {
        Ui().Click(ID_START);
        ASSERT_TRUE(WaitUntil([&] { return Ui().Visible(ID_IMG_UPDATING); }, PAGE_TIMEOUT_MS));
        if (fnStarted)
            fnStarted();
        int nSeconds = 0;
        int nPercent = 0;
        ASSERT_TRUE(WaitUntil([&] { return ParseElapsed(Ui().Text(ID_PROGRESS), &nSeconds, &nPercent) && nPercent >= 20; },
                              FLASH_TIMEOUT_MS))
            << "progress: " << Ui().Text(ID_PROGRESS);
        ExpectScaled(5);
        if (bScreenshots)
            m_session.Screenshot("download_in_progress");
        // The bar's fill follows the percentage in its caption.
        int nBefore = 0;
        int nAfter = 0;
        ParseElapsed(Ui().Text(ID_PROGRESS), &nSeconds, &nBefore);
        const double dFill = m_session.ProgressFill();
        ParseElapsed(Ui().Text(ID_PROGRESS), &nSeconds, &nAfter);
        EXPECT_GE(dFill, nBefore / 100.0 - 0.02);
        EXPECT_LE(dFill, nAfter / 100.0 + 0.02);
        EXPECT_FALSE(Ui().StatusPart(0).empty());
        // Watched cheaply: comparing whole pages all the time would slow the download down.
        ASSERT_TRUE(WaitUntil([&] { return Ui().Visible(ID_EXIT); }, FLASH_TIMEOUT_MS)) << "status: " << Ui().StatusPart(0);
        ASSERT_TRUE(m_session.WaitForPage(6, PAGE_TIMEOUT_MS));
        EXPECT_EQ(STATUS_COMPLETE, Ui().StatusPart(0));
        ExpectScaled(6);
        if (bScreenshots)
            m_session.Screenshot("page6_complete");
    }

    // As Windows tells a window that moved to a monitor of another scale; the suggested rectangle keeps
    // the corner and scales the size.
    void MoveToMonitorOf(int nDpi)
    {
        RECT rc = {};
        GetWindowRect(Ui().Dialog(), &rc);
        const int nOld = m_session.Dpi();
        const RECT rcSuggested = {rc.left, rc.top, rc.left + MulDiv(rc.right - rc.left, nDpi, nOld),
                                  rc.top + MulDiv(rc.bottom - rc.top, nDpi, nOld)};
        CRemoteRect remote(m_session.Process().ProcessId(), rcSuggested);
        ASSERT_TRUE(PostMessageW(Ui().Dialog(), WM_DPICHANGED, MAKEWPARAM(nDpi, nDpi), remote.Pointer()));
        m_session.SetScale(nDpi, "scale" + std::to_string(nDpi * 100 / 96) + "_");
        EXPECT_TRUE(WaitUntil(
            [&] {
                RECT rcClient = {};
                GetClientRect(Ui().Dialog(), &rcClient);
                return std::abs(rcClient.right - m_session.Px(CLIENT_WIDTH)) <= 1;
            },
            PAGE_TIMEOUT_MS))
            << "no layout for " << nDpi << " dpi";
        // The window stays on the screen (once the handler is through).
        Ui().AnswerTimeMs(5000);
        GetWindowRect(Ui().Dialog(), &rc);
        EXPECT_GE(rc.left, 0);
        EXPECT_LE(rc.right, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_LE(rc.bottom, GetSystemMetrics(SM_CYSCREEN));
    }

    void ExitWizard()
    {
        Ui().Click(ID_EXIT);
        EXPECT_TRUE(m_session.Process().WaitForExit(10000)) << "Exit did not end the wizard";
    }
};

TEST_F(WizardScale, MovesToOtherMonitorsDuringAndAfterTheDownload)
{
    // Windows takes the awareness from the manifest (Wine makes every program aware of its scale).
    HMODULE hModule = LoadLibraryExW(m_session.WizardExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, hModule);
    HRSRC hManifest = FindResourceW(hModule, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(nullptr, hManifest);
    const std::string strManifest(static_cast<const char*>(LockResource(LoadResource(hModule, hManifest))),
                                  SizeofResource(hModule, hManifest));
    FreeLibrary(hModule);
    EXPECT_NE(std::string::npos, strManifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                                                  "WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"));
    EXPECT_NE(std::string::npos,
              strManifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"));

    StartAt(96, "");
    WalkScaled(5, false);
    Download([&] { MoveToMonitorOf(144); }, true);
    MoveToMonitorOf(192);
    ExpectScaled(6);
    m_session.Screenshot("page6_complete");
    ExitWizard();
}

TEST_F(WizardScale, PagesAt125)
{
    StartAt(120, "");
    WalkScaled(5, false);
}

TEST_F(WizardScale, PagesAt150)
{
    StartAt(144, "scale150_");
    WalkScaled(5, true);
}

TEST_F(WizardScale, PagesAt200)
{
    StartAt(192, "scale200_");
    WalkScaled(5, true);
}

}  // namespace
