#pragma once

#include <cstdint>

namespace Platform {

// The process id in a private temporary folder's name, "krt-p940.<pid>.<rest>" or
// "krt-flash.<pid>.<rest>"; 0 for any other name. Windows names compare without case.
uint32_t TempFolderProcessId(const char* pszName, bool bIgnoreCase);

}  // namespace Platform
