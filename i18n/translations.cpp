#include "i18n/translations.h"

#include <atomic>
#include <memory>

#include "i18n/catalog.h"
#include "i18n/language_choice.h"
#include "platform/resources.h"
#include "platform/ui_languages.h"

namespace {

// The catalog's own name for the language: the translation of "English" in this context.
constexpr const char* LANGUAGE_NAME_CONTEXT = "language name";
constexpr const char* ENGLISH_NAME = "English";

struct Language {
    LanguageInfo info;
    std::unique_ptr<CCatalog> pCatalog;  // none for English
};

class CLanguageSet {
public:
    static CLanguageSet& Instance()
    {
        // Built once, thread-safely, on first use; never changed afterwards but for the current index.
        static CLanguageSet s_set;
        return s_set;
    }

    const std::vector<LanguageInfo>& Infos() const { return m_infos; }
    const Language* Find(const std::string& strCode) const
    {
        for (const Language& language : m_languages) {
            if (language.info.strCode == strCode)
                return &language;
        }
        return nullptr;
    }
    const Language& Current() const { return m_languages[m_nCurrent.load(std::memory_order_acquire)]; }
    void SetCurrent(const Language* pLanguage)
    {
        m_nCurrent.store(static_cast<size_t>(pLanguage - m_languages.data()), std::memory_order_release);
    }

private:
    CLanguageSet()
    {
        Language english;
        english.info = {ENGLISH_LANGUAGE, ENGLISH_NAME, false};
        m_languages.push_back(std::move(english));
        Platform::ResourceBlob blob;
        for (int nId = 1; Platform::FindResourceBlob(CATALOG_RESOURCE_TYPE, nId, &blob); ++nId) {
            auto pCatalog = std::make_unique<CCatalog>();
            const std::string strCode = pCatalog->Load(blob.pData, blob.nSize) ? pCatalog->HeaderField("Language")
                                                                               : std::string();
            // A damaged catalog, or one that does not say its language, is left out.
            if (strCode.empty() || strCode == ENGLISH_LANGUAGE || Find(strCode) != nullptr)
                continue;
            Language language;
            language.info.strCode = strCode;
            language.info.strName = pCatalog->Text(LANGUAGE_NAME_CONTEXT, ENGLISH_NAME);
            if (language.info.strName == ENGLISH_NAME)
                language.info.strName = strCode;
            language.info.bRightToLeft = IsRightToLeftLanguage(strCode);
            language.pCatalog = std::move(pCatalog);
            m_languages.push_back(std::move(language));
        }
        for (const Language& language : m_languages)
            m_infos.push_back(language.info);
    }

    std::vector<Language> m_languages;
    std::vector<LanguageInfo> m_infos;
    std::atomic<size_t> m_nCurrent{0};
};

}  // namespace

const std::vector<LanguageInfo>& AvailableLanguages()
{
    return CLanguageSet::Instance().Infos();
}

std::string UserLanguage()
{
    std::vector<std::string> codes;
    for (const LanguageInfo& info : AvailableLanguages())
        codes.push_back(info.strCode);
    return ChooseLanguage(Platform::PreferredUiLanguages(), codes);
}

bool SetLanguage(const std::string& strCode)
{
    CLanguageSet& set = CLanguageSet::Instance();
    const Language* pLanguage = set.Find(strCode);
    if (pLanguage == nullptr)
        return false;
    set.SetCurrent(pLanguage);
    return true;
}

std::string CurrentLanguage()
{
    return CLanguageSet::Instance().Current().info.strCode;
}

bool CurrentLanguageIsRightToLeft()
{
    return CLanguageSet::Instance().Current().info.bRightToLeft;
}

const char* Tr(const char* pszEnglish)
{
    return TrContext(nullptr, pszEnglish);
}

std::string TrMessage(const std::string& strEnglish)
{
    const Language& language = CLanguageSet::Instance().Current();
    return language.pCatalog != nullptr ? language.pCatalog->Message(strEnglish) : strEnglish;
}

const char* TrContext(const char* pszContext, const char* pszEnglish)
{
    const Language& language = CLanguageSet::Instance().Current();
    return language.pCatalog != nullptr ? language.pCatalog->Text(pszContext, pszEnglish) : pszEnglish;
}
