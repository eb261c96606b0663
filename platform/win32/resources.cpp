#include "platform/resources.h"
#include "platform/resource_registry.h"

#include <windows.h>

namespace Platform {

// The executable's resource section holds the blobs; resource type names compare case-insensitively.
bool FindResourceBlob(const char* pszType, int nId, ResourceBlob* pBlob)
{
    if (pszType == nullptr || pBlob == nullptr)
        return false;
    HRSRC hRes = FindResourceA(nullptr, MAKEINTRESOURCEA(nId), pszType);
    if (hRes == nullptr)
        return false;
    HGLOBAL hData = LoadResource(nullptr, hRes);
    if (hData == nullptr)
        return false;
    const void* pData = LockResource(hData);
    if (pData == nullptr)
        return false;
    pBlob->pData = static_cast<const uint8_t*>(pData);
    pBlob->nSize = SizeofResource(nullptr, hRes);
    return true;
}

// Blobs come from the .rc scripts here; nothing registers at run time.
bool RegisterResourceBlob(const char*, int, const uint8_t*, size_t)
{
    return false;
}

}  // namespace Platform
