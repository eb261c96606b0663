#include "i18n/catalog.h"

#include <algorithm>
#include <cstring>

#include "i18n/message_match.h"

namespace {

constexpr uint32_t MO_MAGIC = 0x950412DE;
constexpr uint32_t MO_MAGIC_SWAPPED = 0xDE120495;
constexpr uint32_t MO_HEADER_SIZE = 28;
constexpr char CONTEXT_SEPARATOR = '\x04';

uint32_t ReadWord(const uint8_t* p, bool bSwapped)
{
    const uint32_t n = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                       static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return bSwapped ? __builtin_bswap32(n) : n;
}

// A text of the catalog: its descriptor (length, offset) must lie inside the data, and so must the text and
// the NUL msgfmt writes after it. Plural entries hold their forms NUL-separated; the first stands for all.
bool ReadText(std::string_view data, uint32_t nTable, uint32_t i, bool bSwapped, std::string_view* pText)
{
    const uint64_t nDescriptor = static_cast<uint64_t>(nTable) + static_cast<uint64_t>(i) * 8;
    if (nDescriptor + 8 > data.size())
        return false;
    const auto* p = reinterpret_cast<const uint8_t*>(data.data()) + nDescriptor;
    const uint32_t nLength = ReadWord(p, bSwapped);
    const uint32_t nOffset = ReadWord(p + 4, bSwapped);
    if (static_cast<uint64_t>(nOffset) + nLength + 1 > data.size() || data[nOffset + nLength] != '\0')
        return false;
    std::string_view text = data.substr(nOffset, nLength);
    *pText = text.substr(0, text.find('\0'));
    return true;
}

}  // namespace

bool CCatalog::Load(const uint8_t* pData, size_t nSize)
{
    m_strOwned.clear();
    m_data = pData != nullptr ? std::string_view(reinterpret_cast<const char*>(pData), nSize) : std::string_view();
    return Parse();
}

bool CCatalog::LoadCopy(std::string strData)
{
    m_strOwned = std::move(strData);
    m_data = m_strOwned;
    return Parse();
}

bool CCatalog::Parse()
{
    m_texts.clear();
    m_header = {};
    if (m_data.size() < MO_HEADER_SIZE)
        return false;
    const auto* p = reinterpret_cast<const uint8_t*>(m_data.data());
    const uint32_t nMagic = ReadWord(p, false);
    if (nMagic != MO_MAGIC && nMagic != MO_MAGIC_SWAPPED)
        return false;
    const bool bSwapped = nMagic == MO_MAGIC_SWAPPED;
    // Major revision 0 and 1 share the layout read here.
    if ((ReadWord(p + 4, bSwapped) >> 16) > 1)
        return false;
    const uint32_t nCount = ReadWord(p + 8, bSwapped);
    const uint32_t nOriginals = ReadWord(p + 12, bSwapped);
    const uint32_t nTranslations = ReadWord(p + 16, bSwapped);
    std::unordered_map<std::string_view, std::string_view> texts;
    std::string_view header;
    for (uint32_t i = 0; i < nCount; ++i) {
        std::string_view original;
        std::string_view translation;
        if (!ReadText(m_data, nOriginals, i, bSwapped, &original) ||
            !ReadText(m_data, nTranslations, i, bSwapped, &translation))
            return false;
        if (original.empty())
            header = translation;
        else if (!translation.empty())
            texts.emplace(original, translation);
    }
    m_texts = std::move(texts);
    m_header = header;
    m_formats.clear();
    for (const auto& [key, translation] : m_texts) {
        if (key.find('%') != std::string_view::npos && key.find(CONTEXT_SEPARATOR) == std::string_view::npos)
            m_formats.emplace_back(key, translation);
    }
    // The longest formats first: they say the most, so a text matches the most particular one.
    std::sort(m_formats.begin(), m_formats.end(), [](const auto& a, const auto& b) {
        return a.first.size() != b.first.size() ? a.first.size() > b.first.size() : a.first < b.first;
    });
    return true;
}

std::string CCatalog::Message(const std::string& strEnglish) const
{
    if (const char* pszTranslation = Find(nullptr, strEnglish.c_str()))
        return pszTranslation;
    for (const auto& [english, translation] : m_formats) {
        if (std::optional<std::string> filled = FillTranslatedFormat(english, translation, strEnglish))
            return *filled;
    }
    return strEnglish;
}

const char* CCatalog::Find(const char* pszContext, const char* pszEnglish) const
{
    if (pszEnglish == nullptr || m_texts.empty())
        return nullptr;
    std::string strKey;
    if (pszContext != nullptr) {
        strKey = pszContext;
        strKey += CONTEXT_SEPARATOR;
    }
    strKey += pszEnglish;
    const auto it = m_texts.find(strKey);
    // Every translation ends in a NUL inside the data (checked when it was read).
    return it != m_texts.end() ? it->second.data() : nullptr;
}

const char* CCatalog::Text(const char* pszContext, const char* pszEnglish) const
{
    const char* pszText = Find(pszContext, pszEnglish);
    return pszText != nullptr ? pszText : pszEnglish;
}

std::string CCatalog::HeaderField(std::string_view strName) const
{
    size_t nPos = 0;
    while (nPos < m_header.size()) {
        size_t nEnd = m_header.find('\n', nPos);
        if (nEnd == std::string_view::npos)
            nEnd = m_header.size();
        const std::string_view line = m_header.substr(nPos, nEnd - nPos);
        if (line.size() > strName.size() && line.substr(0, strName.size()) == strName && line[strName.size()] == ':') {
            std::string_view value = line.substr(strName.size() + 1);
            while (!value.empty() && value.front() == ' ')
                value.remove_prefix(1);
            return std::string(value);
        }
        nPos = nEnd + 1;
    }
    return {};
}

std::vector<CatalogEntry> CCatalog::Entries() const
{
    std::vector<CatalogEntry> entries;
    entries.reserve(m_texts.size());
    for (const auto& [key, translation] : m_texts) {
        CatalogEntry entry;
        const size_t nSeparator = key.find(CONTEXT_SEPARATOR);
        entry.bHasContext = nSeparator != std::string_view::npos;
        entry.strContext = entry.bHasContext ? std::string(key.substr(0, nSeparator)) : std::string();
        entry.strEnglish = std::string(entry.bHasContext ? key.substr(nSeparator + 1) : key);
        entry.strTranslation = std::string(translation);
        entries.push_back(std::move(entry));
    }
    return entries;
}
