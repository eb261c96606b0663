#include "platform/resources.h"
#include "platform/resource_registry.h"

#include <strings.h>

#include <vector>

namespace Platform {
namespace {

struct RegisteredBlob {
    const char* pszType;
    int nId;
    ResourceBlob blob;
};

// Filled by static initialisers of the generated blob objects, before main; read-only afterwards.
std::vector<RegisteredBlob>& Registry()
{
    static std::vector<RegisteredBlob> s_registry;
    return s_registry;
}

const RegisteredBlob* Lookup(const char* pszType, int nId)
{
    for (const RegisteredBlob& entry : Registry()) {
        if (entry.nId == nId && strcasecmp(entry.pszType, pszType) == 0)
            return &entry;
    }
    return nullptr;
}

}  // namespace

bool RegisterResourceBlob(const char* pszType, int nId, const uint8_t* pData, size_t nSize)
{
    if (pszType == nullptr || Lookup(pszType, nId) != nullptr)
        return false;
    RegisteredBlob entry{pszType, nId, {}};
    entry.blob.pData = pData;
    entry.blob.nSize = nSize;
    Registry().push_back(entry);
    return true;
}

bool FindResourceBlob(const char* pszType, int nId, ResourceBlob* pBlob)
{
    if (pszType == nullptr || pBlob == nullptr)
        return false;
    const RegisteredBlob* pEntry = Lookup(pszType, nId);
    if (pEntry == nullptr)
        return false;
    *pBlob = pEntry->blob;
    return true;
}

}  // namespace Platform
