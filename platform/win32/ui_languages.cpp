#include "platform/ui_languages.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace Platform {
namespace {

// Locale names are plain ASCII ("de-AT").
std::string Narrow(const wchar_t* pszWide)
{
    std::string str;
    for (; *pszWide != L'\0'; ++pszWide)
        str.push_back(*pszWide < 0x80 ? static_cast<char>(*pszWide) : '?');
    return str;
}

}  // namespace

std::vector<std::string> PreferredUiLanguages()
{
    std::vector<std::string> names;
    ULONG nCount = 0;
    ULONG nChars = 0;
    if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &nCount, nullptr, &nChars) && nChars > 0) {
        std::wstring buffer(nChars, L'\0');
        if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &nCount, buffer.data(), &nChars)) {
            // A list of NUL-terminated names, ended by an empty one.
            for (const wchar_t* pszName = buffer.c_str(); *pszName != L'\0'; pszName += wcslen(pszName) + 1)
                names.push_back(Narrow(pszName));
        }
    }
    if (names.empty()) {
        wchar_t szName[LOCALE_NAME_MAX_LENGTH] = {};
        if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), szName, LOCALE_NAME_MAX_LENGTH, 0) > 0)
            names.push_back(Narrow(szName));
    }
    return names;
}

}  // namespace Platform
