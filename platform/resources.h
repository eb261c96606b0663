#pragma once
// Blobs embedded in the executable, by type and numeric id. The bytes stay where they are
// (mapped with the program), nothing is copied.
#include <cstddef>
#include <cstdint>

namespace Platform {

struct ResourceBlob {
    const uint8_t* pData = nullptr;
    size_t nSize = 0;
};

// False when there is no such resource.
bool FindResourceBlob(const char* pszType, int nId, ResourceBlob* pBlob);

}  // namespace Platform
