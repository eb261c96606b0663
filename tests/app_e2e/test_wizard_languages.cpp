// The wizard in the language of the user's Windows, driven from outside through pages 0 to 5: Japanese,
// and Arabic laid out from the right. Wine takes its UI language from the run's locale (LANG), which
// the test case sets; KRT_E2E_LANGUAGE names the language whose texts the case expects.
#include <cstdlib>
#include <string>

#include "tests/app_e2e/wizard_test.h"

using namespace WizardUi;

namespace {

constexpr DWORD PAGE_TIMEOUT_MS = 15000;

// What the translators wrote for a few of the wizard's texts.
struct LanguageTexts {
    const char* pszCode;
    const wchar_t* pszNext;
    const wchar_t* pszBack;
    const wchar_t* pszExit;
    const wchar_t* pszLicenseAccept;
    const wchar_t* pszNoticeAccept;
    const wchar_t* pszReady;  // the status bar at the start
    const wchar_t* pszStart;
    bool bRightToLeft;
};

const LanguageTexts LANGUAGES[] = {
    {"ja", L"次へ(&N)", L"戻る(&B)", L"終了(&X)", L"使用許諾契約の条項に同意します(&A)。", L"同意する(&A)", L" 準備完了",
     L"ソフトウェアのダウンロードを開始(&S)", false},
    {"ar", L"ال&تالي", L"&رجوع", L"&خروج", L"&أوافق على شروط اتفاقية الترخيص.", L"&قبول", L" جاهز",
     L"&بدء تنزيل البرنامج", true},
    {"de", L"&Weiter", L"&Zurück", L"&Beenden", L"Ich &akzeptiere die Bedingungen der Lizenzvereinbarung.",
     L"&Akzeptieren", L" Bereit", L"&Software-Download starten", false},
};

const LanguageTexts* ExpectedLanguage()
{
    const char* pszCode = std::getenv("KRT_E2E_LANGUAGE");
    for (const LanguageTexts& texts : LANGUAGES) {
        if (pszCode != nullptr && std::string(pszCode) == texts.pszCode)
            return &texts;
    }
    return nullptr;
}

class WizardLanguage : public WizardTest {
protected:
    std::wstring Text(int nId) const { return WindowText(GetDlgItem(Ui().Dialog(), nId)); }
    bool RightToLeft(HWND hWnd) const { return (GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; }
    // The page by what it shows (the pictures of a mirrored page are not the artwork's).
    int PageByControls() const
    {
        if (Ui().Visible(ID_START))
            return 5;
        if (Ui().Visible(ID_NOTICE_ACCEPT))
            return 2;
        if (Ui().Visible(ID_LICENSE_TEXT))
            return 1;
        // The connect page waits for the device with Next off, or shows it connected.
        if (Ui().Visible(ID_IMG_CONNECTED) || (Ui().Visible(ID_BACK) && !Ui().Enabled(ID_NEXT)))
            return 4;
        return Ui().Visible(ID_BACK) ? 3 : 0;
    }
    bool NextTo(int nPage)
    {
        if (!WaitUntil([&] { return Ui().Visible(ID_NEXT) && Ui().Enabled(ID_NEXT); }, PAGE_TIMEOUT_MS))
            return false;
        Ui().Click(ID_NEXT);
        return WaitUntil([&] { return Ui().AnswerTimeMs(20) >= 0 && PageByControls() == nPage; }, PAGE_TIMEOUT_MS);
    }
};

TEST_F(WizardLanguage, PagesZeroToFiveInTheUsersLanguage)
{
    const LanguageTexts* pTexts = ExpectedLanguage();
    ASSERT_NE(pTexts, nullptr) << "KRT_E2E_LANGUAGE names no language of this test";
    const std::string strShot = std::string("language_") + pTexts->pszCode + "_page";
    StartWizard(true, false);

    // Page 0: the forward button and the status bar speak the language; Arabic reads from the right.
    ASSERT_TRUE(WaitUntil([&] { return PageByControls() == 0 && Ui().Visible(ID_NEXT); }, PAGE_TIMEOUT_MS));
    EXPECT_EQ(Text(ID_NEXT), pTexts->pszNext);
    EXPECT_EQ(Text(ID_EXIT), pTexts->pszExit);
    EXPECT_EQ(Widen(Ui().StatusPart(0)), pTexts->pszReady);
    EXPECT_EQ(RightToLeft(Ui().Dialog()), pTexts->bRightToLeft);
    m_session.Screenshot(strShot + "0");

    ASSERT_TRUE(NextTo(1));
    EXPECT_EQ(Text(ID_LICENSE_ACCEPT), pTexts->pszLicenseAccept);
    EXPECT_EQ(Text(ID_BACK), pTexts->pszBack);
    RECT rcNext = {}, rcBack = {};
    GetWindowRect(Ui().Control(ID_NEXT), &rcNext);
    GetWindowRect(Ui().Control(ID_BACK), &rcBack);
    // Next follows Back in the reading direction.
    EXPECT_EQ(rcNext.right < rcBack.left, pTexts->bRightToLeft);
    EXPECT_EQ(rcNext.left > rcBack.right, !pTexts->bRightToLeft);
    m_session.Screenshot(strShot + "1");
    Ui().Click(ID_LICENSE_ACCEPT);

    ASSERT_TRUE(NextTo(2));
    EXPECT_EQ(Text(ID_NOTICE_ACCEPT), pTexts->pszNoticeAccept);
    m_session.Screenshot(strShot + "2");
    Ui().Click(ID_NOTICE_ACCEPT);

    ASSERT_TRUE(NextTo(3));
    m_session.Screenshot(strShot + "3");
    ASSERT_TRUE(NextTo(4));
    ASSERT_TRUE(HostState::PlugDevice(7));
    ASSERT_TRUE(WaitUntil([&] { return Ui().Visible(ID_IMG_CONNECTED) && Ui().Enabled(ID_NEXT); },
                          TimerBudgetMs(false) + PAGE_TIMEOUT_MS));
    // The drawing of the device joined to the computer keeps its sides in every language.
    EXPECT_FALSE(RightToLeft(Ui().Control(ID_IMG_CABLE_SMALL)));
    m_session.Screenshot(strShot + "4");
    ASSERT_TRUE(NextTo(5));
    EXPECT_EQ(Text(ID_START), pTexts->pszStart);
    m_session.Screenshot(strShot + "5");
}

}  // namespace
