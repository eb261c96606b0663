#pragma once
// Reading the system registry. There is no registry on POSIX: every read fails there.
#include <cstdint>

namespace Platform {

// Reads a value under HKEY_LOCAL_MACHINE, the key opened for querying only and in the process's own
// view (a 32-bit program on a 64-bit host reads the 32-bit view). *pnSize is the buffer's size on entry
// and the byte count stored on success. The value's type is not checked. False when the key or value
// is missing or the data does not fit in the buffer.
bool ReadLocalMachineValue(const char* pszKey, const char* pszValue, void* pBuffer, uint32_t* pnSize);

}  // namespace Platform
