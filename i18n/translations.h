#pragma once
// The program's languages and the one it speaks now. English is built in (the texts in the code are the
// English ones); every other language is a catalog embedded as resource type "MO", ids 1, 2, ... without a
// gap (resources/translations writes them). All catalogs are read once and kept for the program's life, so a
// text returned here stays valid after the language changes, on any thread.
#include <string>
#include <vector>

// Resource type of the compiled catalogs.
constexpr const char* CATALOG_RESOURCE_TYPE = "MO";

struct LanguageInfo {
    std::string strCode;  // "en", "de", "pt_BR", ...
    std::string strName;  // in its own words: "English", "Deutsch", "日本語"
    bool bRightToLeft = false;
};

// English first, then the catalogs in resource order.
const std::vector<LanguageInfo>& AvailableLanguages();

// The language for the user's preferred UI languages (Platform::PreferredUiLanguages).
std::string UserLanguage();

// False, and nothing changed, for a language the program does not carry.
bool SetLanguage(const std::string& strCode);
std::string CurrentLanguage();
bool CurrentLanguageIsRightToLeft();

// The current language's text for an English text, or the English text where the language lacks it.
const char* Tr(const char* pszEnglish);
// The current language's text for a text composed from an English format (see CCatalog::Message).
std::string TrMessage(const std::string& strEnglish);
// The same for an English text with two meanings, told apart by its context.
const char* TrContext(const char* pszContext, const char* pszEnglish);
