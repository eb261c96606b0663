// Every language on every page at 100 % and 200 %: each text window's words, wrapped at its font into its
// width, fit its box, and no two visible windows overlap (texts, buttons, banners, pictures).
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/page_layout.h"
#include "i18n/translations.h"
#include "tests/app/wizard_fixture.h"

namespace {

// The text windows of the pages: the header and the pages' words (2100 on), the whole run's progress and
// the failure's advice.
bool IsTextWindow(int nId)
{
    return (nId >= 2100 && nId < 2200) || nId == 2033 || nId == 2034;
}
constexpr int HEADER_STEP_ID = 2102;
// The header's step, as the design writes it: its name, a middle dot, and "Step n of 7".
const char* const STEP_NAMES[PAGE_COUNT] = {"Software Download", "License Agreement", "Notice", "Download Mode",
                                            "Connect Device", "Download", "Complete"};

std::wstring Wide(const std::string& str)
{
    std::wstring wide(str.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, str.data(), static_cast<int>(str.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    return wide;
}

std::string Narrow(const std::wstring& wide)
{
    std::string str(wide.size() * 3, '\0');
    str.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), str.data(),
                                   static_cast<int>(str.size()), nullptr, nullptr));
    return str;
}

struct Shown {
    HWND hWnd;
    int nId;
    RECT rc;  // in the dialog's client coordinates
};

struct ShownList {
    HWND hDialog;
    std::vector<Shown> windows;
};

BOOL CALLBACK CollectShown(HWND hWnd, LPARAM lParam)
{
    auto* pList = reinterpret_cast<ShownList*>(lParam);
    if (GetParent(hWnd) != pList->hDialog || !IsWindowVisible(hWnd) || GetDlgCtrlID(hWnd) == 2040)
        return TRUE;  // the status bar stands below the page
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(nullptr, pList->hDialog, reinterpret_cast<POINT*>(&rc), 2);
    pList->windows.push_back({hWnd, GetDlgCtrlID(hWnd), rc});
    return TRUE;
}

class TextFitTest : public WizardTest {
protected:
    void TearDown() override
    {
        SetLanguage("en");
        WizardTest::TearDown();
    }

    std::vector<Shown> ShownWindows() const
    {
        ShownList list{m_pDlg->m_hWnd, {}};
        EnumChildWindows(m_pDlg->m_hWnd, CollectShown, reinterpret_cast<LPARAM>(&list));
        return list.windows;
    }

    // The English words of the page's text windows, read while the wizard speaks English.
    std::map<int, std::string> EnglishWords() const
    {
        std::map<int, std::string> words;
        for (const Shown& shown : ShownWindows()) {
            wchar_t szText[1024] = {};
            GetWindowTextW(shown.hWnd, szText, static_cast<int>(std::size(szText)));
            if (IsTextWindow(shown.nId))
                words[shown.nId] = Narrow(szText);
        }
        return words;
    }

    // What a text window shows in the current language: the translation of its English words (measured
    // as the catalog has it, whatever the window procedure's character set keeps).
    static std::wstring Translated(int nId, int nPage, const std::string& strEnglish)
    {
        if (nId != HEADER_STEP_ID)
            return Wide(Tr(strEnglish.c_str()));
        char szCount[128] = {};
        std::snprintf(szCount, sizeof(szCount), Tr("Step %d of %d"), nPage + 1, PAGE_COUNT);
        return Wide(TrContext("step", STEP_NAMES[nPage])) + L" \u00B7 " + Wide(szCount);
    }

    // Every failure of the page as it is shown now, one line each.
    std::vector<std::string> Misfits(int nPage, const std::map<int, std::string>& english) const
    {
        std::vector<std::string> misfits;
        const std::vector<Shown> shown = ShownWindows();
        HDC hDC = GetDC(m_pDlg->m_hWnd);
        for (const Shown& window : shown) {
            const auto itEnglish = english.find(window.nId);
            if (!IsTextWindow(window.nId) || itEnglish == english.end())
                continue;
            const std::wstring strWords = Translated(window.nId, nPage, itEnglish->second);
            RECT rcClient = {};
            GetClientRect(window.hWnd, &rcClient);
            RECT rcNeeded = {0, 0, rcClient.right, 0};
            HGDIOBJ hOld = SelectObject(hDC, reinterpret_cast<HFONT>(SendMessageW(window.hWnd, WM_GETFONT, 0, 0)));
            DrawTextW(hDC, strWords.c_str(), static_cast<int>(strWords.size()), &rcNeeded,
                      DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            SelectObject(hDC, hOld);
            if (rcNeeded.right > rcClient.right || rcNeeded.bottom > rcClient.bottom) {
                misfits.push_back("text " + std::to_string(window.nId) + " needs " + std::to_string(rcNeeded.right) + "x" +
                                  std::to_string(rcNeeded.bottom) + " in " + std::to_string(rcClient.right) + "x" +
                                  std::to_string(rcClient.bottom) + ": " + Narrow(strWords));
            }
            for (const Shown& other : shown) {
                RECT rcBoth = {};
                if (other.hWnd != window.hWnd && IntersectRect(&rcBoth, &window.rc, &other.rc) &&
                    (!IsTextWindow(other.nId) || other.nId > window.nId))
                    misfits.push_back("text " + std::to_string(window.nId) + " overlaps " + std::to_string(other.nId));
            }
        }
        ReleaseDC(m_pDlg->m_hWnd, hDC);
        return misfits;
    }
};

TEST_F(TextFitTest, EveryLanguageFitsEveryPageAt100And200)
{
    std::vector<std::string> languages;
    for (const LanguageInfo& language : AvailableLanguages())
        languages.push_back(language.strCode);
    ASSERT_NE(std::find(languages.begin(), languages.end(), "qps"), languages.end()) << "a test build carries qps";
    ASSERT_GE(languages.size(), 15u);
    m_pDlg->m_nLicenseChoice = 1;
    m_pDlg->m_nNoticeChoice = 1;
    for (int nDpi : {96, 192}) {
        if (nDpi != 96) {
            RECT rc = {0, 0, 2100, 1300};  // where the window would go on a 200 % monitor
            SendMessageW(m_pDlg->m_hWnd, WM_DPICHANGED, MAKEWPARAM(nDpi, nDpi), reinterpret_cast<LPARAM>(&rc));
            RECT rcClient = {};
            GetClientRect(m_pDlg->m_hWnd, &rcClient);
            ASSERT_GE(rcClient.right, 2 * PAGE_WIDTH - 20) << "the screen holds no 200 % window";
        }
        for (int nPage = 0; nPage < PAGE_COUNT; ++nPage) {
            SetLanguage("en");
            m_pDlg->ApplyTexts();
            GoToPage(nPage);
            const std::map<int, std::string> english = EnglishWords();
            ASSERT_FALSE(english.empty()) << "page " << nPage;
            for (const std::string& strLanguage : languages) {
                ASSERT_TRUE(SetLanguage(strLanguage));
                m_pDlg->ApplyTexts();
                for (const std::string& strMisfit : Misfits(nPage, english))
                    ADD_FAILURE() << strLanguage << " at " << nDpi << " dpi, page " << nPage << ": " << strMisfit;
            }
        }
    }
}

}  // namespace
