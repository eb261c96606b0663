#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/ui_languages.h"

namespace {

// Sets the locale variables for one case and puts the run's own back afterwards.
class UiLanguagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* pszName : VARIABLES) {
            const char* pszValue = std::getenv(pszName);
            m_saved.emplace_back(pszValue != nullptr, pszValue != nullptr ? pszValue : "");
        }
    }
    void TearDown() override
    {
        for (size_t i = 0; i < m_saved.size(); ++i)
            Set(VARIABLES[i], m_saved[i].first ? m_saved[i].second.c_str() : nullptr);
    }
    static void Set(const char* pszName, const char* pszValue)
    {
        if (pszValue != nullptr)
            setenv(pszName, pszValue, 1);
        else
            unsetenv(pszName);
    }
    static std::vector<std::string> With(const char* pszLanguage, const char* pszAll, const char* pszMessages,
                                         const char* pszLang)
    {
        Set("LANGUAGE", pszLanguage);
        Set("LC_ALL", pszAll);
        Set("LC_MESSAGES", pszMessages);
        Set("LANG", pszLang);
        return Platform::PreferredUiLanguages();
    }

    static constexpr const char* VARIABLES[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<std::pair<bool, std::string>> m_saved;
};

TEST_F(UiLanguagesTest, ListThenLocaleOfMessages)
{
    using List = std::vector<std::string>;
    EXPECT_EQ(List({"pt_BR", "de", "fr_FR.UTF-8"}), With("pt_BR::de", nullptr, nullptr, "fr_FR.UTF-8"));
    EXPECT_EQ(List({"ja_JP.UTF-8"}), With(nullptr, nullptr, "ja_JP.UTF-8", "fr_FR.UTF-8"));
    EXPECT_EQ(List({"ar_EG.UTF-8"}), With("", "ar_EG.UTF-8", "ja_JP.UTF-8", "fr_FR.UTF-8"));
    EXPECT_EQ(List({"ko_KR.UTF-8"}), With(nullptr, "", "", "ko_KR.UTF-8"));
    // The "C" locale speaks English whatever LANGUAGE says.
    EXPECT_EQ(List(), With("de", "C.UTF-8", nullptr, "fr_FR.UTF-8"));
    EXPECT_EQ(List(), With("de", nullptr, nullptr, "POSIX"));
    EXPECT_EQ(List(), With(nullptr, nullptr, nullptr, nullptr));
}

}  // namespace
