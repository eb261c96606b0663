#include "image/staging.h"

#include <cstdio>
#include <vector>

#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/resources.h"

namespace {

constexpr size_t COPY_CHUNK_BYTES = 1 << 20;

bool WriteAll(const char* pszPath, const void* pData, size_t nSize)
{
    FILE* pFile = Platform::OpenFile(pszPath, "wb");
    if (pFile == nullptr)
        return false;
    bool bOk = fwrite(pData, 1, nSize, pFile) == nSize;
    return fclose(pFile) == 0 && bOk;
}

}  // namespace

bool GetStagedImagePath(std::string* pstrPath)
{
    std::string strFolder;
    if (!Platform::EnterTempFolder(&strFolder))
        return false;
    char szPath[1024];
    int nLen = snprintf(szPath, sizeof szPath, "%s%s", strFolder.c_str(), STAGED_IMAGE_NAME);
    if (nLen < 0 || static_cast<size_t>(nLen) >= sizeof szPath)
        return false;
    *pstrPath = szPath;
    return true;
}

bool StageFirmwareImage(int nResourceId, std::string* pstrPath)
{
    pstrPath->clear();
    if (!GetStagedImagePath(pstrPath))
        return false;

    Platform::ResourceBlob blob;
    if (!Platform::FindResourceBlob(FIRMWARE_RESOURCE_TYPE, nResourceId, &blob)) {
        char szText[256];
        snprintf(szText, sizeof szText, "%s file unload.", STAGED_IMAGE_NAME + 1);
        Platform::ShowMessageBox(szText, "", Platform::MESSAGE_ICON_WARNING);
        return false;
    }
    // One write straight from the mapped executable; the image never lands on the heap.
    return WriteAll(pstrPath->c_str(), blob.pData, blob.nSize);
}

bool StageFirmwareFile(const char* pszSourcePath, std::string* pstrPath)
{
    pstrPath->clear();
    FILE* pSource = Platform::OpenFile(pszSourcePath, "rb");
    if (pSource == nullptr)
        return false;
    bool bOk = GetStagedImagePath(pstrPath);
    // Opening the staged file for writing would truncate the source itself.
    if (bOk && Platform::IsSameFile(pszSourcePath, pstrPath->c_str())) {
        fclose(pSource);
        pstrPath->clear();
        return false;
    }
    FILE* pTarget = bOk ? Platform::OpenFile(pstrPath->c_str(), "wb") : nullptr;
    bOk = pTarget != nullptr;
    std::vector<uint8_t> buffer(bOk ? COPY_CHUNK_BYTES : 0);
    while (bOk) {
        size_t nRead = fread(buffer.data(), 1, buffer.size(), pSource);
        if (nRead == 0) {
            bOk = !ferror(pSource);
            break;
        }
        bOk = fwrite(buffer.data(), 1, nRead, pTarget) == nRead;
    }
    fclose(pSource);
    if (pTarget != nullptr)
        bOk = fclose(pTarget) == 0 && bOk;
    return bOk;
}
