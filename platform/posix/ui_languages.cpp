#include "platform/ui_languages.h"

#include <cstdlib>
#include <cstring>

namespace Platform {

std::vector<std::string> PreferredUiLanguages()
{
    const char* pszLocale = nullptr;
    for (const char* pszVariable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* pszValue = std::getenv(pszVariable);
        if (pszValue != nullptr && *pszValue != '\0') {
            pszLocale = pszValue;
            break;
        }
    }
    // As gettext does: in the "C" locale LANGUAGE is not looked at either.
    if (pszLocale == nullptr || std::strcmp(pszLocale, "C") == 0 || std::strncmp(pszLocale, "C.", 2) == 0 ||
        std::strcmp(pszLocale, "POSIX") == 0)
        return {};
    std::vector<std::string> names;
    if (const char* pszList = std::getenv("LANGUAGE")) {
        const std::string strList = pszList;
        size_t nPos = 0;
        while (nPos <= strList.size()) {
            size_t nEnd = strList.find(':', nPos);
            if (nEnd == std::string::npos)
                nEnd = strList.size();
            if (nEnd > nPos)
                names.push_back(strList.substr(nPos, nEnd - nPos));
            nPos = nEnd + 1;
        }
    }
    names.push_back(pszLocale);
    return names;
}

}  // namespace Platform
