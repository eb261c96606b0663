#include "host/usb_driver.h"

#include <vector>

namespace {

// The components of a dotted number; false for anything else (empty parts, signs, spaces).
bool ParseDottedNumber(const char* pszText, size_t nLength, std::vector<uint64_t>* pParts)
{
    pParts->clear();
    uint64_t nPart = 0;
    size_t nDigits = 0;
    for (size_t i = 0; i <= nLength; ++i) {
        if (i == nLength || pszText[i] == '.') {
            if (nDigits == 0)
                return false;
            pParts->push_back(nPart);
            nPart = 0;
            nDigits = 0;
            continue;
        }
        char c = pszText[i];
        if (c < '0' || c > '9')
            return false;
        // The value fits a short buffer; a longer run of digits is not a version.
        if (++nDigits > 18)
            return false;
        nPart = nPart * 10 + static_cast<uint64_t>(c - '0');
    }
    return true;
}

}  // namespace

bool IsDriverVersionCurrent(const char* pszVersion, size_t nLength)
{
    std::vector<uint64_t> stored;
    std::vector<uint64_t> required;
    if (pszVersion == nullptr || !ParseDottedNumber(pszVersion, nLength, &stored))
        return false;
    ParseDottedNumber(USB_DRIVER_REQUIRED_VERSION, std::char_traits<char>::length(USB_DRIVER_REQUIRED_VERSION),
                      &required);
    size_t nCount = stored.size() > required.size() ? stored.size() : required.size();
    for (size_t i = 0; i < nCount; ++i) {
        uint64_t nStored = i < stored.size() ? stored[i] : 0;
        uint64_t nRequired = i < required.size() ? required[i] : 0;
        if (nStored != nRequired)
            return nStored > nRequired;
    }
    return true;
}
