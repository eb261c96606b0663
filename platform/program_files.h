#pragma once
// The program-files folder as the system gives it to this process.
#include <string>

namespace Platform {

// Windows: SHGetSpecialFolderPathA(CSIDL_PROGRAM_FILES), not created. A 32-bit program on a 64-bit host
// is given the 32-bit folder ("C:\Program Files (x86)"). False when it cannot be determined; always
// false on POSIX.
bool GetProgramFilesFolder(std::string* pstrFolder);

}  // namespace Platform
