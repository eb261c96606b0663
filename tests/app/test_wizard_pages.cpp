// Page by page: which controls the user sees, where, how big and whether they work; the window's
// size and texts; the licence and notice choices; the licence text's bold ranges.
#include <oleacc.h>
#include <richedit.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/license_text.h"
#include "app/page_layout.h"
#include "app/resource_ids.h"
#include "tests/app/wizard_fixture.h"

namespace {

bool HasArtwork()
{
    return FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_PAGE_INTRO), "ART100") != nullptr;
}

}  // namespace

TEST_F(WizardTest, EveryPageShowsPlacesAndEnablesItsControls)
{
    // The design's pages, walked forwards with the licence accepted and the notice not: what is seen,
    // where (pixels of the 1024 x 600 page) and whether Next works.
    struct Seen {
        int nId;
        int x, y, cx, cy;  // cx 0: a picture, its place not checked here
    };
    const Seen EXIT{IDC_BTN_EXIT, 20, 530, 132, 46};
    const Seen BACK{IDC_BTN_BACK, 710, 530, 132, 46};
    const Seen NEXT{IDC_BTN_NEXT, 862, 530, 132, 46};
    const Seen LICENSE_ACCEPT{IDC_RADIO_LICENSE_ACCEPT, 115, 435, 406, 33};
    const Seen LICENSE_DECLINE{IDC_RADIO_LICENSE_DECLINE, 115, 470, 406, 33};
    const Seen NOTICE_ACCEPT{IDC_RADIO_NOTICE_ACCEPT, 260, 400, 324, 54};
    const Seen NOTICE_DECLINE{IDC_RADIO_NOTICE_DECLINE, 530, 400, 324, 54};
    const Seen START{IDC_BTN_START, 357, 410, 310, 42};
    const Seen LICENSE_TEXT{IDC_RICH_LICENSE, 115, 140, 780, 280};
    const Seen PROGRESS{IDC_PROGRESS, 137, 370, 750, 20};
    const Seen PRESS_START{IDC_IMG_PRESS_START, 0, 0, 0, 0};
    const Seen CABLE_SMALL{IDC_IMG_CABLE_SMALL, 0, 0, 0, 0};
    const Seen EXIT_RIGHT{IDC_BTN_EXIT, 862, 530, 132, 46};
    const Seen RUN_PROGRESS{IDC_TEXT_RUN_PROGRESS, 137, 457, 750, 40};  // the whole run, under the start button
    const std::vector<Seen> pages[PAGE_COUNT] = {
        {EXIT, NEXT},
        {EXIT, BACK, NEXT, LICENSE_ACCEPT, LICENSE_DECLINE, LICENSE_TEXT},
        {EXIT, BACK, NEXT, NOTICE_ACCEPT, NOTICE_DECLINE},
        {EXIT, BACK, NEXT},
        {EXIT, BACK, NEXT},
        {START, PROGRESS, PRESS_START, CABLE_SMALL, RUN_PROGRESS},
        {EXIT_RIGHT},
    };
    const int nNextEnabled[PAGE_COUNT] = {1, 1, 0, 1, 0, -1, -1};  // -1: not shown
    const int nAll[] = {IDC_BTN_EXIT, IDC_BTN_BACK, IDC_BTN_NEXT, IDC_RADIO_LICENSE_ACCEPT, IDC_RADIO_LICENSE_DECLINE,
                        IDC_RADIO_NOTICE_ACCEPT, IDC_RADIO_NOTICE_DECLINE, IDC_BTN_START, IDC_RICH_LICENSE, IDC_PROGRESS,
                        IDC_IMG_PRESS_START, IDC_IMG_CABLE_SMALL, IDC_IMG_CABLE_LARGE, IDC_IMG_CONNECTED,
                        IDC_IMG_UPDATING, IDC_IMG_SUCCESS, IDC_IMG_FAILED, IDC_TEXT_RUN_PROGRESS};

    m_pDlg->m_nLicenseChoice = 1;
    m_pDlg->m_nNoticeChoice = 0;
    for (int nPage = 0; nPage < PAGE_COUNT; ++nPage) {
        GoToPage(nPage);
        for (int nId : nAll) {
            const auto it = std::find_if(pages[nPage].begin(), pages[nPage].end(), [&](const Seen& s) { return s.nId == nId; });
            const bool bSeen = it != pages[nPage].end();
            EXPECT_EQ(IsWindowVisible(Item(nId)) != FALSE, bSeen) << "page " << nPage << " control " << nId;
            if (bSeen && it->cx != 0) {
                const RECT rc = ClientRectOf(nId);
                EXPECT_EQ(rc.left, it->x) << "page " << nPage << " control " << nId;
                EXPECT_EQ(rc.top, it->y) << "page " << nPage << " control " << nId;
                EXPECT_EQ(rc.right - rc.left, it->cx) << "page " << nPage << " control " << nId;
                EXPECT_EQ(rc.bottom - rc.top, it->cy) << "page " << nPage << " control " << nId;
            }
        }
        if (nNextEnabled[nPage] >= 0) {
            EXPECT_EQ(IsWindowEnabled(Item(IDC_BTN_NEXT)) != FALSE, nNextEnabled[nPage] == 1) << "page " << nPage;
        }
    }
}

namespace {

struct ShownWords {
    std::string strText;
    RECT rc;
};

BOOL CALLBACK CollectShownWords(HWND hWnd, LPARAM lParam)
{
    auto* pWords = reinterpret_cast<std::vector<ShownWords>*>(lParam);
    wchar_t szText[512] = {};
    if (!IsWindowVisible(hWnd) || GetWindowTextW(hWnd, szText, static_cast<int>(std::size(szText))) == 0)
        return TRUE;
    char szUtf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, szText, -1, szUtf8, sizeof(szUtf8), nullptr, nullptr);
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(nullptr, GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    pWords->push_back({szUtf8, rc});
    return TRUE;
}

}  // namespace

TEST_F(WizardTest, EveryPageShowsItsWordsAsWindowsOfItsOwn)
{
    // The design's words, page by page, each the text of a visible window on the page (the pictures carry
    // none); the header names the product, the tool and the step.
    const std::vector<std::string> pages[PAGE_COUNT] = {
        {"Software Download \u00b7 Step 1 of 7", "WELCOME", "KRT-P940 Software Upgrade",
         "This wizard installs new software on your Velmora KRT-P940 4G LTE Mobile Hotspot.",
         "This tool is meant only for upgrading the KRT-P940. Do not use it with any other device.",
         "Using this tool on other devices can make them stop working.", "Click Next to continue.", "&Next", "E&xit"},
        {"License Agreement \u00b7 Step 2 of 7", "End-User License Agreement",
         "Please read the following license agreement carefully. Accept it to continue.",
         "I &accept the terms in the license agreement.", "I &do not accept the terms in the license agreement.", "&Back"},
        {"Notice \u00b7 Step 3 of 7", "Notice", "Please read before you start the upgrade.",
         "All user settings return to their factory defaults after the upgrade.",
         "Write down your settings, such as the Wi-Fi name, passwords and APN, before you start.",
         "The battery must be charged enough before the upgrade starts.",
         "The power button lights green when the charge is sufficient.", "&Accept", "&Decline"},
        {"Download Mode \u00b7 Step 4 of 7", "Put the device into download mode",
         "Follow the steps below with the device switched off.", "Turn the device off and unplug the USB cable.",
         "Remove the battery cover.", "Press and hold the WPS and POWER buttons together until the three LEDs light blue.",
         "Three steady blue LEDs mean the device is in download mode.", "Replace the battery cover, then click Next."},
        {"Connect Device \u00b7 Step 5 of 7", "Connect the device to your computer",
         "Plug the USB cable into the device and into a USB port of your computer.",
         "The wizard finds the device by itself and enables Next once it is connected."},
        {"Download \u00b7 Step 6 of 7", "Please press the button below to start the software download.",
         "&Start Software Download"},
        {"Complete \u00b7 Step 7 of 7", "Your device software was upgraded successfully.", "To finish the upgrade:",
         "Unplug the USB cable from the device.", "Open the battery cover.",
         "Press and hold the RESET button until the three LEDs light white.",
         "The device resets. Replace the battery cover.", "Wait about one minute until the device has started.",
         "The Wi-Fi password and the web server password are back to the defaults printed on the label under the "
         "battery cover.",
         "To set up the device again, connect to its Wi-Fi and open http://192.168.0.1 in a web browser.", "E&xit"},
    };
    for (int nPage = 0; nPage < PAGE_COUNT; ++nPage) {
        GoToPage(nPage);
        std::vector<ShownWords> shown;
        EnumChildWindows(m_pDlg->m_hWnd, CollectShownWords, reinterpret_cast<LPARAM>(&shown));
        auto find = [&](const std::string& strText) {
            return std::find_if(shown.begin(), shown.end(), [&](const ShownWords& w) { return w.strText == strText; });
        };
        std::vector<std::string> expected = pages[nPage];
        expected.insert(expected.end(), {"KRT-P940", "SW Upgrade"});
        for (const std::string& strText : expected) {
            const auto it = find(strText);
            ASSERT_NE(it, shown.end()) << "page " << nPage << " does not show \"" << strText << "\"";
            // On the page, not under the status bar or outside the window.
            EXPECT_GE(it->rc.left, 0) << strText;
            EXPECT_GE(it->rc.top, 0) << strText;
            EXPECT_LE(it->rc.right, PAGE_WIDTH) << strText;
            EXPECT_LE(it->rc.bottom, PAGE_HEIGHT) << strText;
            EXPECT_GT(it->rc.bottom - it->rc.top, 10) << strText;
        }
        // The words of the other pages are not shown here (captions of buttons some pages share excepted).
        for (int nOther = 0; nOther < PAGE_COUNT; ++nOther) {
            for (const std::string& strText : pages[nOther]) {
                if (nOther != nPage && strText.find('&') == std::string::npos)
                    EXPECT_EQ(find(strText), shown.end()) << "page " << nPage << " shows \"" << strText << "\"";
            }
        }
    }
}

TEST_F(WizardTest, TabWalksContentThenBackNextExit)
{
    // Page 1: the licence text, the choice pair as one stop at its checked item, Back, Next, Exit.
    m_pDlg->m_nLicenseChoice = 1;
    GoToPage(PAGE_LICENSE);
    const int nExpected[] = {IDC_RICH_LICENSE, IDC_RADIO_LICENSE_ACCEPT, IDC_BTN_BACK, IDC_BTN_NEXT, IDC_BTN_EXIT,
                             IDC_RICH_LICENSE};
    HWND hAt = Item(IDC_RICH_LICENSE);
    for (size_t i = 1; i < std::size(nExpected); ++i) {
        hAt = GetNextDlgTabItem(m_pDlg->m_hWnd, hAt, FALSE);
        ASSERT_NE(hAt, nullptr);
        EXPECT_EQ(GetDlgCtrlID(hAt), nExpected[i]) << "stop " << i;
    }
    // The arrow keys stay inside a pair: from its last item the group wraps to its first.
    EXPECT_EQ(GetNextDlgGroupItem(m_pDlg->m_hWnd, Item(IDC_RADIO_LICENSE_DECLINE), FALSE), Item(IDC_RADIO_LICENSE_ACCEPT));
}

TEST_F(WizardTest, PagesAsTheUserMeetsThem)
{
    // Page 0: Next works, no Back, Exit at the left.
    EXPECT_TRUE(IsWindowVisible(Item(IDC_BTN_NEXT)));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_BTN_NEXT)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_BTN_BACK)));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_BTN_EXIT)));
    EXPECT_EQ(ClientRectOf(IDC_BTN_EXIT).left, 20);
    EXPECT_EQ(ClientRectOf(IDC_BTN_EXIT).top, 530);
    EXPECT_FALSE(IsWindowVisible(Item(IDC_RICH_LICENSE)));

    // Page 1, never accepted: declined is checked and Next is off until the user accepts.
    Click(IDC_BTN_NEXT);
    EXPECT_EQ(m_pDlg->m_nPage, PAGE_LICENSE);
    EXPECT_TRUE(IsWindowVisible(Item(IDC_RICH_LICENSE)));
    EXPECT_EQ(SendMessageA(Item(IDC_RADIO_LICENSE_DECLINE), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_BTN_NEXT)));
    Click(IDC_RADIO_LICENSE_ACCEPT);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_BTN_NEXT)));
    Click(IDC_RADIO_LICENSE_DECLINE);
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_BTN_NEXT)));
    Click(IDC_RADIO_LICENSE_ACCEPT);

    // Page 2: the notice, with its own choice; back and forth keeps both choices.
    Click(IDC_BTN_NEXT);
    EXPECT_EQ(m_pDlg->m_nPage, PAGE_NOTICE);
    EXPECT_FALSE(IsWindowVisible(Item(IDC_RADIO_LICENSE_ACCEPT)));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_RADIO_NOTICE_ACCEPT)));
    EXPECT_EQ(SendMessageA(Item(IDC_RADIO_NOTICE_DECLINE), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_BTN_NEXT)));
    Click(IDC_RADIO_NOTICE_ACCEPT);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_BTN_NEXT)));
    Click(IDC_BTN_BACK);
    EXPECT_EQ(m_pDlg->m_nPage, PAGE_LICENSE);
    EXPECT_EQ(SendMessageA(Item(IDC_RADIO_LICENSE_ACCEPT), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_BTN_NEXT)));
    Click(IDC_BTN_NEXT);
    EXPECT_EQ(SendMessageA(Item(IDC_RADIO_NOTICE_ACCEPT), BM_GETCHECK, 0, 0), BST_CHECKED);

    // Page 3: Next is always on. Page 4: off until the port timer sees the device.
    Click(IDC_BTN_NEXT);
    EXPECT_EQ(m_pDlg->m_nPage, PAGE_DOWNLOAD_MODE);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_BTN_NEXT)));
    Click(IDC_BTN_NEXT);
    EXPECT_EQ(m_pDlg->m_nPage, PAGE_CONNECT);
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_BTN_NEXT)));

    // Leaving page 4 backwards: " Ready" and a single space in the status bar.
    Click(IDC_BTN_BACK);
    EXPECT_EQ(m_pDlg->m_nPage, PAGE_DOWNLOAD_MODE);
    EXPECT_EQ(StatusPart(0), " Ready");
    EXPECT_EQ(StatusPart(3), " ");
}

TEST_F(WizardTest, WindowTitleSizeAndStatusBar)
{
    char szTitle[128] = {};
    GetWindowTextA(m_pDlg->m_hWnd, szTitle, sizeof(szTitle));
    EXPECT_STREQ(szTitle, " SW Upgrade - [ KRT-P940 ] - 1.0.019");
    EXPECT_EQ(StatusPart(0), " Ready");
    if (!HasArtwork()) {
        GTEST_SKIP() << "this build carries no artwork, so the pages have no size";
    }
    RECT rc = {};
    GetWindowRect(m_pDlg->m_hWnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 1024);
    EXPECT_EQ(rc.bottom - rc.top, 600 + GetSystemMetrics(SM_CYCAPTION) + 25);
    HWND hBar = FindWindowExA(m_pDlg->m_hWnd, nullptr, STATUSCLASSNAMEA, nullptr);
    int nEdges[4] = {};
    ASSERT_EQ(SendMessageA(hBar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(nEdges)), 4);
    EXPECT_EQ(nEdges[0], 682);
    EXPECT_EQ(nEdges[1], 0);
    EXPECT_EQ(nEdges[2], 342);
    EXPECT_EQ(nEdges[3], -1);

    // A page number outside the wizard changes nothing on the screen and keeps the window's size.
    GoToPage(PAGE_LICENSE);
    GoToPage(PAGE_COUNT);
    RECT rcAfter = {};
    GetWindowRect(m_pDlg->m_hWnd, &rcAfter);
    EXPECT_EQ(rcAfter.right - rcAfter.left, 1024);
    EXPECT_EQ(rcAfter.bottom - rcAfter.top, rc.bottom - rc.top);
    EXPECT_TRUE(IsWindowVisible(Item(IDC_RICH_LICENSE)));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_BTN_BACK)));
}

TEST_F(WizardTest, LicenceHeadingsAndDisclaimersAreBoldAndTheRestIsNot)
{
    HWND hRich = Item(IDC_RICH_LICENSE);
    const std::string strJoined = JoinLicenseText();
    GETTEXTLENGTHEX length = {GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    EXPECT_EQ(SendMessageA(hRich, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0),
              static_cast<LRESULT>(strJoined.size()));
    long nPos = 0;
    for (int i = 0; i < LICENSE_PIECE_COUNT; ++i) {
        const long nLength = static_cast<long>(strlen(LicenseText[i]));
        CHARRANGE range{nPos, nPos + nLength};
        SendMessageA(hRich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMATA cf = {};
        cf.cbSize = sizeof(cf);
        SendMessageA(hRich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        // The whole piece has one weight (the mask says so), and it is the piece's own.
        EXPECT_TRUE(cf.dwMask & CFM_BOLD) << "piece " << i + 1 << " mixes weights";
        EXPECT_EQ((cf.dwEffects & CFE_BOLD) != 0, IsLicensePieceBold(i)) << "piece " << i + 1;
        nPos += nLength;
    }
}

namespace {

std::wstring MenuText(HMENU hMenu, UINT nItem, UINT nFlags)
{
    wchar_t szItem[128] = {};
    GetMenuStringW(hMenu, nItem, szItem, static_cast<int>(std::size(szItem)), nFlags);
    return szItem;
}

}  // namespace

TEST_F(WizardTest, SystemMenuOffersEveryLanguageInItsOwnWordsAndTheWholeWizardFollows)
{
    HMENU hMenu = GetSystemMenu(m_pDlg->m_hWnd, FALSE);
    const int nItems = GetMenuItemCount(hMenu);
    EXPECT_EQ(MenuText(hMenu, IDM_ABOUTBOX, MF_BYCOMMAND), L"Velmora SW Upgrade (&A)...");
    EXPECT_EQ(GetMenuItemID(hMenu, nItems - 1), static_cast<UINT>(IDM_ABOUTBOX));
    // The support report is offered only once a run has ended.
    EXPECT_EQ(GetMenuState(hMenu, IDM_SAVE_REPORT, MF_BYCOMMAND), static_cast<UINT>(-1));
    HMENU hLanguages = GetSubMenu(hMenu, nItems - 2);
    ASSERT_NE(hLanguages, nullptr);
    EXPECT_EQ(MenuText(hMenu, static_cast<UINT>(nItems - 2), MF_BYPOSITION), L"&Language");
    std::map<std::wstring, UINT> commands;
    for (int i = 0; i < GetMenuItemCount(hLanguages); ++i)
        commands[MenuText(hLanguages, static_cast<UINT>(i), MF_BYPOSITION)] = GetMenuItemID(hLanguages, i);
    for (const wchar_t* pszName : {L"English", L"Deutsch", L"Français", L"Español", L"Português (Brasil)", L"Italiano",
                                   L"Nederlands", L"Polski", L"Русский", L"Türkçe", L"简体中文", L"日本語", L"한국어",
                                   L"العربية"}) {
        EXPECT_EQ(commands.count(pszName), 1u) << "no menu item for a language";
    }

    // Chosen on the licence page, German is everywhere at once.
    GoToPage(PAGE_LICENSE);
    SendMessageW(m_pDlg->m_hWnd, WM_SYSCOMMAND, commands[L"Deutsch"], 0);
    Pump(50);
    EXPECT_EQ(StatusPart(0), " Bereit");
    EXPECT_EQ(WindowTextW(Item(IDC_BTN_NEXT)), L"&Weiter");
    EXPECT_EQ(WindowTextW(Item(IDC_RICH_LICENSE)).rfind(L"VELMORA ENDBENUTZER-LIZENZVEREINBARUNG", 0), 0u);
    EXPECT_EQ(MenuText(hMenu, IDM_ABOUTBOX, MF_BYCOMMAND), L"&Info über Velmora SW Upgrade...");
    EXPECT_TRUE(GetMenuState(hLanguages, commands[L"Deutsch"], MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(hLanguages, commands[L"English"], MF_BYCOMMAND) & MF_CHECKED);

    // Arabic lays the wizard out from the right: Next stands left of Back, the drawing of the device keeps
    // its sides.
    auto rightToLeft = [](HWND hWnd) { return (GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; };
    SendMessageW(m_pDlg->m_hWnd, WM_SYSCOMMAND, commands[L"العربية"], 0);
    Pump(50);
    EXPECT_TRUE(rightToLeft(m_pDlg->m_hWnd));
    RECT rcNext = {}, rcBack = {};
    GetWindowRect(Item(IDC_BTN_NEXT), &rcNext);
    GetWindowRect(Item(IDC_BTN_BACK), &rcBack);
    EXPECT_LT(rcNext.right, rcBack.left);
    EXPECT_TRUE(rightToLeft(Item(IDC_BTN_NEXT)));
    EXPECT_FALSE(rightToLeft(Item(IDC_IMG_CABLE_LARGE)));
    EXPECT_EQ(WindowTextW(Item(IDC_BTN_NEXT)), L"ال&تالي");

    SendMessageW(m_pDlg->m_hWnd, WM_SYSCOMMAND, commands[L"English"], 0);
    Pump(50);
    EXPECT_FALSE(rightToLeft(m_pDlg->m_hWnd));
    GetWindowRect(Item(IDC_BTN_NEXT), &rcNext);
    GetWindowRect(Item(IDC_BTN_BACK), &rcBack);
    EXPECT_GT(rcNext.left, rcBack.right);
    EXPECT_EQ(StatusPart(0), " Ready");
    EXPECT_EQ(WindowTextW(Item(IDC_BTN_NEXT)), L"&Next");
    EXPECT_EQ(WindowTextW(Item(IDC_RICH_LICENSE)).rfind(L"VELMORA END USER LICENCE AGREEMENT", 0), 0u);
}

TEST_F(WizardTest, ChoicesTellAssistiveTechnologyTheirNameRoleAndState)
{
    CoInitialize(nullptr);
    m_pDlg->m_nNoticeChoice = 0;
    GoToPage(PAGE_NOTICE);
    auto expect = [&](int nId, const wchar_t* pszName, bool bChecked) {
        IAccessible* pAcc = nullptr;
        ASSERT_EQ(S_OK, AccessibleObjectFromWindow(Item(nId), OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&pAcc)));
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        VARIANT role, state;
        EXPECT_EQ(S_OK, pAcc->get_accRole(self, &role));
        EXPECT_EQ(ROLE_SYSTEM_RADIOBUTTON, role.lVal) << nId;
        EXPECT_EQ(S_OK, pAcc->get_accState(self, &state));
        EXPECT_EQ(bChecked, (state.lVal & STATE_SYSTEM_CHECKED) != 0) << nId;
        BSTR name = nullptr;
        EXPECT_EQ(S_OK, pAcc->get_accName(self, &name));
        EXPECT_EQ(std::wstring(pszName), name ? std::wstring(name) : std::wstring()) << nId;
        SysFreeString(name);
        pAcc->Release();
    };
    expect(IDC_RADIO_NOTICE_DECLINE, L"Decline", true);
    expect(IDC_RADIO_NOTICE_ACCEPT, L"Accept", false);
    CoUninitialize();
}
