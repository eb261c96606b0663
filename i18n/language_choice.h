#pragma once
// Which catalog a user gets: the first of their preferred UI languages that the program carries, exactly
// (language and region, "pt-BR" -> "pt_BR"), else that language's base ("de-AT" -> "de"), else English.
// Locale names come as Windows gives them ("de-AT", "zh-Hans-CN") or as POSIX does ("de_AT.UTF-8@euro");
// catalogs are named as gettext names them ("de", "pt_BR", "zh_CN").
#include <string>
#include <vector>

// The code of the built-in English texts.
constexpr const char* ENGLISH_LANGUAGE = "en";

struct LocaleName {
    std::string strLanguage;  // lower case: "pt"
    std::string strScript;    // title case: "Hans", or empty
    std::string strRegion;    // upper case: "BR", or empty
};

// Empty strLanguage for a name that names no language ("", "C", "POSIX").
LocaleName ParseLocaleName(const std::string& strName);

// The catalog code (one of available, or ENGLISH_LANGUAGE) for the preferred names, most preferred first.
std::string ChooseLanguage(const std::vector<std::string>& preferred, const std::vector<std::string>& available);

// Languages written right to left (Arabic, Hebrew, Persian, Urdu and others of their scripts).
bool IsRightToLeftLanguage(const std::string& strCode);
