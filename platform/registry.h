#pragma once
// Reading the system registry. There is no registry on POSIX: every read fails there.
#include <cstdint>

namespace Platform {

// Reads a value under HKEY_LOCAL_MACHINE, the key opened for querying only and in the 32-bit view,
// whatever the program's own word size: the driver package is a 32-bit installer and writes its version
// there, which a 64-bit program would not see in its own view. Keys outside the redirected SOFTWARE tree
// (HARDWARE, say) are the same in both views. *pnSize is the buffer's size on entry
// and the byte count stored on success. The value's type is not checked. False when the key or value
// is missing or the data does not fit in the buffer.
bool ReadLocalMachineValue(const char* pszKey, const char* pszValue, void* pBuffer, uint32_t* pnSize);

}  // namespace Platform
