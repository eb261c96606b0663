#include "platform/program_files.h"

#include <windows.h>
#include <shlobj.h>

namespace Platform {

bool GetProgramFilesFolder(std::string* pstrFolder)
{
    char szPath[MAX_PATH + 1] = {};
    if (!SHGetSpecialFolderPathA(nullptr, szPath, CSIDL_PROGRAM_FILES, FALSE))
        return false;
    if (pstrFolder != nullptr)
        *pstrFolder = szPath;
    return true;
}

}  // namespace Platform
