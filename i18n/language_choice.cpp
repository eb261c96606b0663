#include "i18n/language_choice.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string str)
{
    std::transform(str.begin(), str.end(), str.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return str;
}

std::string Upper(std::string str)
{
    std::transform(str.begin(), str.end(), str.begin(), [](unsigned char ch) { return std::toupper(ch); });
    return str;
}

bool IsAlpha(const std::string& str)
{
    return std::all_of(str.begin(), str.end(), [](unsigned char ch) { return std::isalpha(ch) != 0; });
}

bool IsDigits(const std::string& str)
{
    return std::all_of(str.begin(), str.end(), [](unsigned char ch) { return std::isdigit(ch) != 0; });
}

// "zh_CN" and "zh-cn" are the same catalog.
std::string Key(const LocaleName& name)
{
    return name.strRegion.empty() ? name.strLanguage : name.strLanguage + "_" + name.strRegion;
}

// Chinese catalogs are named by region, but a Windows name may give only the script, and a region without
// a catalog of its own still reads one of the two scripts.
std::vector<std::string> ChineseByScript(const LocaleName& name)
{
    std::string strScript = name.strScript;
    if (strScript.empty()) {
        const bool bTraditional = name.strRegion == "TW" || name.strRegion == "HK" || name.strRegion == "MO";
        strScript = bTraditional ? "Hant" : "Hans";
    }
    if (strScript == "Hans")
        return {"zh_CN", "zh_SG"};
    if (strScript == "Hant")
        return {"zh_TW", "zh_HK"};
    return {};
}

}  // namespace

LocaleName ParseLocaleName(const std::string& strName)
{
    // Encoding and modifier ("de_DE.UTF-8@euro") say nothing about the language.
    std::string strRest = strName.substr(0, strName.find_first_of(".@"));
    std::vector<std::string> parts;
    size_t nPos = 0;
    while (nPos <= strRest.size()) {
        const size_t nEnd = std::min(strRest.find_first_of("-_", nPos), strRest.size());
        parts.push_back(strRest.substr(nPos, nEnd - nPos));
        nPos = nEnd + 1;
    }
    LocaleName name;
    if (parts.empty() || parts[0].size() < 2 || parts[0].size() > 3 || !IsAlpha(parts[0]))
        return name;
    name.strLanguage = Lower(parts[0]);
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (part.size() == 4 && IsAlpha(part) && name.strScript.empty() && name.strRegion.empty()) {
            name.strScript = Upper(part.substr(0, 1)) + Lower(part.substr(1));
        } else if (((part.size() == 2 && IsAlpha(part)) || (part.size() == 3 && IsDigits(part))) &&
                   name.strRegion.empty()) {
            name.strRegion = Upper(part);
        }
    }
    return name;
}

std::string ChooseLanguage(const std::vector<std::string>& preferred, const std::vector<std::string>& available)
{
    auto findAvailable = [&available](const std::string& strKey) -> const std::string* {
        for (const std::string& strCode : available) {
            if (Key(ParseLocaleName(strCode)) == strKey)
                return &strCode;
        }
        return nullptr;
    };
    for (const std::string& strPreferred : preferred) {
        const LocaleName name = ParseLocaleName(strPreferred);
        if (name.strLanguage.empty())
            continue;
        if (name.strLanguage == ENGLISH_LANGUAGE)
            return ENGLISH_LANGUAGE;
        std::vector<std::string> candidates;
        if (!name.strRegion.empty())
            candidates.push_back(Key(name));
        if (name.strLanguage == "zh") {
            for (const std::string& strCandidate : ChineseByScript(name))
                candidates.push_back(strCandidate);
        }
        candidates.push_back(name.strLanguage);
        for (const std::string& strCandidate : candidates) {
            if (const std::string* pCode = findAvailable(strCandidate))
                return *pCode;
        }
    }
    return ENGLISH_LANGUAGE;
}

bool IsRightToLeftLanguage(const std::string& strCode)
{
    static const char* const RTL_LANGUAGES[] = {"ar", "arc", "ckb", "dv", "fa", "he", "iw", "ks", "ps", "sd",
                                                "syr", "ug", "ur", "yi"};
    const std::string strLanguage = ParseLocaleName(strCode).strLanguage;
    return std::any_of(std::begin(RTL_LANGUAGES), std::end(RTL_LANGUAGES),
                       [&strLanguage](const char* pszRtl) { return strLanguage == pszRtl; });
}
