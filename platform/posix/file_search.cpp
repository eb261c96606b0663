#include "platform/file_search.h"

#include <dirent.h>
#include <fnmatch.h>

namespace Platform {

bool AnyFileMatches(const std::string& strPattern)
{
    size_t nSlash = strPattern.find_last_of("\\/");
    std::string strFolder = nSlash == std::string::npos ? "." : strPattern.substr(0, nSlash);
    std::string strName = nSlash == std::string::npos ? strPattern : strPattern.substr(nSlash + 1);
    if (strName.empty())
        return false;
    if (strFolder.empty())
        strFolder.assign(1, '/');  // not = "/": g++ 12 warns falsely (-Wrestrict) on that assignment
    for (char& c : strFolder) {
        if (c == '\\')
            c = '/';
    }
    DIR* pDir = opendir(strFolder.c_str());
    if (pDir == nullptr)
        return false;
    bool bFound = false;
    while (const dirent* pEntry = readdir(pDir)) {
        // "." and ".." are not files, though "*" would match them.
        std::string strEntry = pEntry->d_name;
        if (strEntry == "." || strEntry == "..")
            continue;
        if (fnmatch(strName.c_str(), pEntry->d_name, 0) == 0) {
            bFound = true;
            break;
        }
    }
    closedir(pDir);
    return bFound;
}

}  // namespace Platform
