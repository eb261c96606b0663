#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "i18n/catalog.h"
#include "i18n/language_choice.h"
#include "i18n/translations.h"
#include "platform/resources.h"

namespace {

TEST(LanguageChoice, FirstPreferredLanguageExactlyThenItsBaseThenEnglish)
{
    const std::vector<std::string> available = {"ar", "de", "fr", "ja", "pt_BR", "zh_CN"};
    const struct {
        std::vector<std::string> preferred;
        const char* pszExpected;
    } CASES[] = {
        {{"de-AT"}, "de"},
        {{"pt-BR"}, "pt_BR"},
        {{"pt-PT"}, "en"},
        {{"zh-Hans-CN"}, "zh_CN"},
        {{"zh-Hans"}, "zh_CN"},
        {{"zh-SG"}, "zh_CN"},
        {{"zh-Hant-TW"}, "en"},
        {{"ja-JP"}, "ja"},
        {{"ar-SA"}, "ar"},
        {{"xx-YY"}, "en"},
        {{}, "en"},
        {{"sv-SE", "fr-CA", "de-DE"}, "fr"},
        {{"en-US", "de-DE"}, "en"},
        {{"de_DE.UTF-8@euro"}, "de"},
        {{"pt_BR.UTF-8"}, "pt_BR"},
        {{"C", "ja_JP"}, "ja"},
    };
    for (const auto& c : CASES) {
        std::string strPreferred;
        for (const std::string& s : c.preferred)
            strPreferred += s + " ";
        EXPECT_EQ(c.pszExpected, ChooseLanguage(c.preferred, available)) << strPreferred;
    }
    EXPECT_EQ("pt", ChooseLanguage({"pt-PT"}, {"pt_BR", "pt"}));
    EXPECT_EQ("pt_BR", ChooseLanguage({"pt-br"}, {"pt", "pt_BR"}));
}

// Every language the design asks for, with its name in its own words; only Arabic runs right to left.
TEST(ShippedLanguages, AllThereNamedInTheirOwnWords)
{
    const std::vector<std::pair<std::string, std::string>> EXPECTED = {
        {"en", "English"}, {"ar", "العربية"}, {"de", "Deutsch"}, {"es", "Español"}, {"fr", "Français"},
        {"it", "Italiano"}, {"ja", "日本語"}, {"ko", "한국어"}, {"nl", "Nederlands"}, {"pl", "Polski"},
        {"pt_BR", "Português (Brasil)"}, {"ru", "Русский"}, {"tr", "Türkçe"}, {"zh_CN", "简体中文"}};
    const std::vector<LanguageInfo>& languages = AvailableLanguages();
    ASSERT_FALSE(languages.empty());
    EXPECT_EQ("en", languages.front().strCode);
    for (const auto& [strCode, strName] : EXPECTED) {
        bool bFound = false;
        for (const LanguageInfo& info : languages) {
            if (info.strCode != strCode)
                continue;
            bFound = true;
            EXPECT_EQ(strName, info.strName);
            EXPECT_EQ(strCode == "ar", info.bRightToLeft) << strCode;
        }
        EXPECT_TRUE(bFound) << strCode;
    }
}

// The printf conversions that take an argument, as the English has them.
std::vector<std::string> Specifiers(const std::string& str)
{
    static const std::regex SPECIFIER("%[-+ #0]*[0-9]*(\\.[0-9]+)?(hh|h|ll|l|z)?[diouxXcsp%]");
    std::vector<std::string> found;
    for (std::sregex_iterator it(str.begin(), str.end(), SPECIFIER), end; it != end; ++it) {
        if (it->str() != "%%")
            found.push_back(it->str());
    }
    return found;
}

TEST(ShippedLanguages, EveryTranslationKeepsSpecifiersAndAccessKey)
{
    Platform::ResourceBlob blob;
    int nCatalogs = 0;
    for (int nId = 1; Platform::FindResourceBlob(CATALOG_RESOURCE_TYPE, nId, &blob); ++nId, ++nCatalogs) {
        CCatalog catalog;
        ASSERT_TRUE(catalog.Load(blob.pData, blob.nSize)) << nId;
        const std::string strLanguage = catalog.HeaderField("Language");
        EXPECT_GT(catalog.Size(), 100u) << strLanguage;
        for (const CatalogEntry& entry : catalog.Entries()) {
            const std::string strWhere = strLanguage + ": \"" + entry.strEnglish + "\" -> \"" + entry.strTranslation + "\"";
            EXPECT_EQ(Specifiers(entry.strEnglish), Specifiers(entry.strTranslation)) << strWhere;
            const auto nKeys = std::count(entry.strTranslation.begin(), entry.strTranslation.end(), '&');
            EXPECT_EQ(std::count(entry.strEnglish.begin(), entry.strEnglish.end(), '&'), nKeys) << strWhere;
            if (nKeys == 1) {
                const size_t nKey = entry.strTranslation.find('&');
                EXPECT_LT(nKey + 1, entry.strTranslation.size()) << strWhere;
                EXPECT_NE(' ', entry.strTranslation[nKey + 1]) << strWhere;
            }
        }
    }
    EXPECT_GE(nCatalogs, 13);
}

size_t CodePoints(const char* psz)
{
    size_t n = 0;
    for (; *psz != '\0'; ++psz)
        n += (static_cast<unsigned char>(*psz) & 0xC0) != 0x80;
    return n;
}

TEST(ShippedLanguages, SwitchingLanguageChangesEveryTextAtOnce)
{
    ASSERT_TRUE(SetLanguage("de"));
    EXPECT_EQ("de", CurrentLanguage());
    EXPECT_STREQ("&Weiter", Tr("&Next"));
    EXPECT_STREQ("Hinweis", TrContext("step", "Notice"));
    EXPECT_STREQ("Com%d verbunden", Tr("Com%d Connected"));
    EXPECT_STREQ("Not a text of the wizard", Tr("Not a text of the wizard"));
    EXPECT_FALSE(CurrentLanguageIsRightToLeft());

    ASSERT_TRUE(SetLanguage("ar"));
    EXPECT_TRUE(CurrentLanguageIsRightToLeft());
    EXPECT_STREQ("ال&تالي", Tr("&Next"));

    EXPECT_FALSE(SetLanguage("xx"));
    EXPECT_EQ("ar", CurrentLanguage());
#if KRT_PSEUDO_LANGUAGE
    // Accented, bracketed, at least a third longer; specifiers and access keys kept.
    ASSERT_TRUE(SetLanguage("qps"));
    const char* pszEnglish = "Please read before you start the upgrade.";
    const std::string strPseudo = Tr(pszEnglish);
    EXPECT_EQ('[', strPseudo.front());
    EXPECT_EQ(']', strPseudo.back());
    EXPECT_GE(CodePoints(strPseudo.c_str()) * 3, CodePoints(pszEnglish) * 4) << strPseudo;
    EXPECT_EQ(std::string::npos, strPseudo.find("Please")) << strPseudo;
    EXPECT_NE(std::string::npos, std::string(Tr("Com%d Connected")).find("%d"));
    EXPECT_NE(std::string::npos, std::string(Tr("&Next")).find("&N"));
#endif
    ASSERT_TRUE(SetLanguage("en"));
    EXPECT_STREQ("&Next", Tr("&Next"));
    EXPECT_STREQ("Notice", TrContext("step", "Notice"));
}

// ctest runs this program in a Japanese locale; Wine takes the Windows UI language from it.
TEST(ShippedLanguages, UserLanguageFollowsTheLocale)
{
    const char* pszLocale = std::getenv("LC_ALL");
    if (pszLocale == nullptr || std::strcmp(pszLocale, "ja_JP.UTF-8") != 0)
        GTEST_SKIP() << "run through ctest, which sets LC_ALL=ja_JP.UTF-8";
    EXPECT_EQ("ja", UserLanguage());
}

}  // namespace
