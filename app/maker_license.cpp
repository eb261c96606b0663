#include "app/maker_license.h"

#include <cstring>

#include "platform/resources.h"

namespace {

constexpr std::string_view UTF8_BYTE_ORDER_MARK = "\xEF\xBB\xBF";
constexpr std::string_view HEADING_MARK = "* ";

// UTF-16 units of UTF-8 text: one per character, two for one beyond the basic plane.
long Utf16Units(std::string_view str)
{
    long nUnits = 0;
    for (const char ch : str) {
        const unsigned char byte = static_cast<unsigned char>(ch);
        if ((byte & 0xC0) != 0x80)
            nUnits += byte >= 0xF0 ? 2 : 1;
    }
    return nUnits;
}

struct LanguageLicense {
    std::string strLanguage;
    MakerLicense license;
};

const std::vector<LanguageLicense>& EmbeddedLicenses()
{
    // Read once, on first use; the resources do not change while the program runs.
    static const std::vector<LanguageLicense> s_licenses = [] {
        std::vector<LanguageLicense> licenses;
        Platform::ResourceBlob blob;
        for (int nId = 1; Platform::FindResourceBlob(MAKER_LICENSE_RESOURCE_TYPE, nId, &blob); ++nId) {
            const char* pData = reinterpret_cast<const char*>(blob.pData);
            const void* pEnd = std::memchr(pData, '\0', blob.nSize);
            if (pEnd == nullptr)
                continue;
            const size_t nCodeLength = static_cast<size_t>(static_cast<const char*>(pEnd) - pData);
            const std::string_view strFile(pData + nCodeLength + 1, blob.nSize - nCodeLength - 1);
            licenses.push_back({std::string(pData, nCodeLength), ParseMakerLicense(strFile)});
        }
        return licenses;
    }();
    return s_licenses;
}

}  // namespace

MakerLicense ParseMakerLicense(std::string_view strFile)
{
    if (strFile.substr(0, UTF8_BYTE_ORDER_MARK.size()) == UTF8_BYTE_ORDER_MARK)
        strFile.remove_prefix(UTF8_BYTE_ORDER_MARK.size());
    MakerLicense license;
    license.strText.reserve(strFile.size());
    long nPos = 0;
    bool bFirstLine = true;
    while (!strFile.empty()) {
        const size_t nBreak = strFile.find_first_of("\r\n");
        const std::string_view strLine = strFile.substr(0, nBreak);
        const long nUnits = Utf16Units(strLine);
        if ((bFirstLine || strLine.substr(0, HEADING_MARK.size()) == HEADING_MARK) && nUnits > 0)
            license.boldRanges.push_back({nPos, nPos + nUnits});
        license.strText += strLine;
        nPos += nUnits;
        bFirstLine = false;
        if (nBreak == std::string_view::npos)
            break;
        const bool bCrLf = strFile.substr(nBreak, 2) == "\r\n";
        strFile.remove_prefix(nBreak + (bCrLf ? 2 : 1));
        license.strText += '\n';
        ++nPos;
    }
    return license;
}

const MakerLicense* FindMakerLicense(const std::string& strLanguage)
{
    for (const LanguageLicense& entry : EmbeddedLicenses()) {
        if (entry.strLanguage == strLanguage)
            return &entry.license;
    }
    return nullptr;
}
