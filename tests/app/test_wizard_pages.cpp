// Page by page: which controls the user sees, where, how big and whether they work; the window's
// size and texts; the licence and notice choices; the licence text's bold ranges.
#include <oleacc.h>
#include <richedit.h>

#include "app/license_text.h"
#include "app/page_layout.h"
#include "app/resource_ids.h"
#include "tests/app/wizard_fixture.h"

namespace {

bool HasArtwork()
{
    return FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_PAGE_INTRO), MAKEINTRESOURCEA(2)) != nullptr;
}

}  // namespace

TEST_F(WizardTest, EveryPageShowsPlacesAndEnablesItsControls)
{
    m_pDlg->m_nLicenseChoice = 1;
    m_pDlg->m_nNoticeChoice = 0;
    for (int nPage = 0; nPage < PAGE_COUNT; ++nPage) {
        GoToPage(nPage);
        const PageLayout* pLayout = GetPageLayout(nPage);
        ASSERT_NE(pLayout, nullptr);
        for (const PageControlRule& rule : pLayout->rules) {
            const int nId = rule.nControlId;
            HWND hItem = Item(nId);
            ASSERT_NE(hItem, nullptr) << nId;
            if (rule.nShow != SHOW_KEEP) {
                EXPECT_EQ(IsWindowVisible(hItem) != FALSE, rule.nShow == SHOW_ON) << "page " << nPage << " control " << nId;
            }
            if (rule.bMove) {
                const ControlPlace* pPlace = FindControlPlace(nId);
                ASSERT_NE(pPlace, nullptr);
                const RECT rc = ClientRectOf(nId);
                EXPECT_EQ(rc.left, rule.bOwnPlace ? rule.nX : pPlace->nX) << "page " << nPage << " control " << nId;
                EXPECT_EQ(rc.top, rule.bOwnPlace ? rule.nY : pPlace->nY) << "page " << nPage << " control " << nId;
                EXPECT_EQ(rc.right - rc.left, pPlace->nWidth) << "page " << nPage << " control " << nId;
                EXPECT_EQ(rc.bottom - rc.top, pPlace->nHeight) << "page " << nPage << " control " << nId;
            }
            const bool bEnabled = IsWindowEnabled(hItem) != FALSE;
            if (rule.nEnable == ENABLE_ON) {
                EXPECT_TRUE(bEnabled) << "page " << nPage << " control " << nId;
            } else if (rule.nEnable == ENABLE_OFF) {
                EXPECT_FALSE(bEnabled) << "page " << nPage << " control " << nId;
            } else if (rule.nEnable == ENABLE_BY_CHOICE) {
                EXPECT_EQ(bEnabled, nPage == PAGE_LICENSE) << "page " << nPage << " control " << nId;
            }
        }
    }
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

TEST_F(WizardTest, SystemMenuCarriesTheAboutItem)
{
    HMENU hMenu = GetSystemMenu(m_pDlg->m_hWnd, FALSE);
    char szItem[128] = {};
    ASSERT_GT(GetMenuStringA(hMenu, IDM_ABOUTBOX, szItem, sizeof(szItem), MF_BYCOMMAND), 0);
    EXPECT_STREQ(szItem, "Velmora SW Upgrade (&A)...");
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
