#pragma once
// One language's texts, from a compiled gettext catalog (.mo): the English text, with its context where one
// English text has two meanings, to its UTF-8 translation. A text the catalog lacks (untranslated or fuzzy
// entries are not compiled in) comes back in English, text by text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct CatalogEntry {
    bool bHasContext = false;
    std::string strContext;
    std::string strEnglish;
    std::string strTranslation;
};

class CCatalog {
public:
    // Reads the catalog in place: the bytes must outlive it (a resource of the executable does).
    // False, and an empty catalog, when they are not a well-formed catalog.
    bool Load(const uint8_t* pData, size_t nSize);
    // The same from a copy the catalog keeps.
    bool LoadCopy(std::string strData);

    // The translation, or nullptr when there is none. pszContext may be nullptr.
    const char* Find(const char* pszContext, const char* pszEnglish) const;
    // The translation, or the English text itself.
    const char* Text(const char* pszContext, const char* pszEnglish) const;

    // A text the program composed from an English format (a status line with a port number or a
    // partition's name): its translation with the same values, or the text itself.
    std::string Message(const std::string& strEnglish) const;

    // A field of the catalog's header ("Language"), empty when it has none.
    std::string HeaderField(std::string_view strName) const;
    size_t Size() const { return m_texts.size(); }
    std::vector<CatalogEntry> Entries() const;

private:
    bool Parse();

    std::string m_strOwned;
    std::string_view m_data;
    std::string_view m_header;
    // Key: the context, byte 4 and the English text, or the English text alone (as msgfmt writes them).
    std::unordered_map<std::string_view, std::string_view> m_texts;
    // The entries without context whose English text is a format, in the catalog's order.
    std::vector<std::pair<std::string_view, std::string_view>> m_formats;
};
