#include "platform/file_search.h"

#include <windows.h>

namespace Platform {

bool AnyFileMatches(const std::string& strPattern)
{
    if (strPattern.empty())
        return false;
    WIN32_FIND_DATAA data;
    HANDLE hFind = FindFirstFileA(strPattern.c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return false;
    FindClose(hFind);
    return true;
}

}  // namespace Platform
