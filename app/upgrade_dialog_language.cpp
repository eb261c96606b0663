// The wizard's language: the system menu's Language submenu, and showing every text again in the
// language chosen, on any page, also while a download runs.
#include <windows.h>

#include "app/license_text.h"
#include "app/resource_ids.h"
#include "app/upgrade_dialog.h"
#include "framework/reading_order.h"
#include "i18n/language_choice.h"
#include "i18n/translations.h"
#include "i18n/typefaces.h"
#include "platform/win32/utf16.h"

namespace {

// The character format the licence's headings and disclaimers get: bold, 10 pt, nothing else.
constexpr DWORD LICENSE_FORMAT_MASK =
    CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_OFFSET | CFM_COLOR | CFM_SIZE;
constexpr LONG LICENSE_BOLD_HEIGHT_TWIPS = 200;

// The English texts of the system menu's items (they are translated as they are shown).
constexpr const char* LANGUAGE_MENU_TEXT = "&Language";

// The drawings of the device and its cable keep their sides; the licence orders its own paragraphs. The
// choices keep their faces: a shaped window's outline is not mirrored alike everywhere, so a mirrored
// choice could show a face that its outline cuts.
bool KeepsOrientation(HWND hChild, void*)
{
    switch (GetDlgCtrlID(hChild)) {
    case IDC_IMG_CABLE_LARGE:
    case IDC_IMG_CABLE_SMALL:
    case IDC_RICH_LICENSE:
    case IDC_RADIO_LICENSE_ACCEPT:
    case IDC_RADIO_LICENSE_DECLINE:
    case IDC_RADIO_NOTICE_ACCEPT:
    case IDC_RADIO_NOTICE_DECLINE:
        return true;
    default:
        return false;
    }
}

void SetMenuText(HMENU hMenu, UINT nItem, bool bByPosition, const char* pszText)
{
    const std::wstring strText = Platform::Utf16(pszText);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(strText.c_str());
    SetMenuItemInfoW(hMenu, nItem, bByPosition ? TRUE : FALSE, &info);
}

}  // namespace

std::string CVelmoraEUT_KRT_P940Dlg::AboutMenuText()
{
    return Tr(LoadResourceString(IDS_ABOUTBOX).c_str());
}

void CVelmoraEUT_KRT_P940Dlg::BuildSystemMenu()
{
    HMENU hSysMenu = GetSystemMenu(m_hWnd, FALSE);
    const std::string strAbout = LoadResourceString(IDS_ABOUTBOX);
    if (hSysMenu == nullptr || strAbout.empty())
        return;
    // Each language in its own words, so that a user who cannot read the current one finds theirs.
    m_hLanguageMenu = CreatePopupMenu();
    const std::vector<LanguageInfo>& languages = AvailableLanguages();
    for (size_t i = 0; i < languages.size() && i < MAX_MENU_LANGUAGES; ++i) {
        AppendMenuW(m_hLanguageMenu, MF_STRING, IDM_LANGUAGE_FIRST + i * IDM_LANGUAGE_STEP,
                    Platform::Utf16(languages[i].strName).c_str());
    }
    AppendMenuW(hSysMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(hSysMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(m_hLanguageMenu),
                Platform::Utf16(Tr(LANGUAGE_MENU_TEXT)).c_str());
    AppendMenuW(hSysMenu, MF_STRING, IDM_ABOUTBOX, Platform::Utf16(AboutMenuText()).c_str());
    MarkCurrentLanguage();
}

void CVelmoraEUT_KRT_P940Dlg::MarkCurrentLanguage()
{
    if (m_hLanguageMenu == nullptr)
        return;
    const std::vector<LanguageInfo>& languages = AvailableLanguages();
    const int nCount = GetMenuItemCount(m_hLanguageMenu);
    for (int i = 0; i < nCount && static_cast<size_t>(i) < languages.size(); ++i) {
        if (languages[static_cast<size_t>(i)].strCode == CurrentLanguage()) {
            CheckMenuRadioItem(m_hLanguageMenu, 0, static_cast<UINT>(nCount - 1), static_cast<UINT>(i), MF_BYPOSITION);
        }
    }
}

bool CVelmoraEUT_KRT_P940Dlg::OnLanguageCommand(UINT nId)
{
    if (nId < IDM_LANGUAGE_FIRST || (nId - IDM_LANGUAGE_FIRST) % IDM_LANGUAGE_STEP != 0)
        return false;
    const size_t nIndex = (nId - IDM_LANGUAGE_FIRST) / IDM_LANGUAGE_STEP;
    const std::vector<LanguageInfo>& languages = AvailableLanguages();
    if (nIndex >= languages.size() || nIndex >= MAX_MENU_LANGUAGES)
        return false;
    if (languages[nIndex].strCode != CurrentLanguage() && SetLanguage(languages[nIndex].strCode))
        ApplyLanguage();
    return true;
}

void CVelmoraEUT_KRT_P940Dlg::ApplyLanguage()
{
    SendMessage(WM_SETREDRAW, FALSE);
    ApplyTexts();
    SetLicenseText();
    for (int nPart = 0; nPart < STATUS_PARTS; ++nPart) {
        if (m_bStatusSet[nPart])
            SetStatus(nPart, m_strStatus[nPart].c_str());
    }
    SetProgressText(m_strProgressText);
    ApplyRunTexts();
    ScaleFonts();
    ApplyReadingOrder();

    HMENU hSysMenu = GetSystemMenu(m_hWnd, FALSE);
    if (hSysMenu != nullptr) {
        SetMenuText(hSysMenu, IDM_ABOUTBOX, false, AboutMenuText().c_str());
        for (int i = GetMenuItemCount(hSysMenu) - 1; i >= 0; --i) {
            if (GetSubMenu(hSysMenu, i) == m_hLanguageMenu)
                SetMenuText(hSysMenu, static_cast<UINT>(i), true, Tr(LANGUAGE_MENU_TEXT));
        }
    }
    MarkCurrentLanguage();
    SendMessage(WM_SETREDRAW, TRUE);
    RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void CVelmoraEUT_KRT_P940Dlg::ApplyReadingOrder()
{
    SetReadingOrder(m_hWnd, CurrentLanguageIsRightToLeft(), KeepsOrientation, nullptr);
}

void CVelmoraEUT_KRT_P940Dlg::SetLicenseText()
{
    // The control's class takes ANSI texts; EM_SETTEXTEX takes UTF-16 whatever the class.
    const std::wstring strText = Platform::Utf16(JoinLicenseText());
    SETTEXTEX settings = {ST_DEFAULT, 1200};
    m_richLicense.SendMessage(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&settings), reinterpret_cast<LPARAM>(strText.c_str()));
    // Scripts the template's font lacks get the language's own typeface.
    CHARFORMAT2W cfFace = {};
    cfFace.cbSize = sizeof(cfFace);
    // The charset goes with the face: the template's (Korean) would have another font picked instead.
    cfFace.dwMask = CFM_FACE | CFM_CHARSET;
    const bool bOwnScript = std::string(TypefaceFor(CurrentLanguage())) != TypefaceFor(ENGLISH_LANGUAGE);
    const std::wstring strFace = bOwnScript ? Platform::Utf16(TypefaceFor(CurrentLanguage())) : m_strLicenseFace;
    cfFace.bCharSet = bOwnScript ? static_cast<BYTE>(DEFAULT_CHARSET) : m_nLicenseCharSet;
    if (!strFace.empty()) {
        lstrcpynW(cfFace.szFaceName, strFace.c_str(), LF_FACESIZE);
        m_richLicense.SendMessage(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cfFace));
    }
    CHARFORMATA cf = {};
    m_richLicense.GetDefaultCharFormat(cf);
    cf.dwMask = LICENSE_FORMAT_MASK;
    cf.dwEffects = CFE_BOLD;
    cf.yHeight = LICENSE_BOLD_HEIGHT_TWIPS;
    for (const LicenseRange& range : LicenseBoldRanges()) {
        m_richLicense.SetSel(range.nFirst, range.nEnd);
        m_richLicense.SetSelectionCharFormat(cf);
    }
    // Right-to-left paragraphs stand at the right edge and read from it.
    PARAFORMAT2 pf = {};
    pf.cbSize = sizeof(pf);
    pf.dwMask = PFM_RTLPARA | PFM_ALIGNMENT;
    pf.wEffects = CurrentLanguageIsRightToLeft() ? PFE_RTLPARA : 0;
    pf.wAlignment = CurrentLanguageIsRightToLeft() ? PFA_RIGHT : PFA_LEFT;
    m_richLicense.SetSel(0, -1);
    m_richLicense.SendMessage(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    m_richLicense.SetSel(1, 1);
}

void CVelmoraEUT_KRT_P940Dlg::SetProgressText(const std::string& strEnglish)
{
    m_strProgressText = strEnglish;
    m_progress.SetWindowText(TrMessage(strEnglish));
}
