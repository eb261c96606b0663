#include "image/staging.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include "image/container.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/resources.h"

namespace {

constexpr size_t COPY_CHUNK_BYTES = 1 << 20;

// errno of a failed write (EIO when the C library left none), for the caller to name the reason.
void NoteWriteError(int* pnWriteErrno)
{
    if (pnWriteErrno != nullptr && *pnWriteErrno == 0)
        *pnWriteErrno = errno != 0 ? errno : EIO;
}

bool WriteAll(const char* pszPath, const void* pData, size_t nSize, int* pnWriteErrno)
{
    errno = 0;
    FILE* pFile = Platform::OpenFile(pszPath, "wb");
    if (pFile == nullptr) {
        NoteWriteError(pnWriteErrno);
        return false;
    }
    bool bOk = fwrite(pData, 1, nSize, pFile) == nSize;
    if (!bOk)
        NoteWriteError(pnWriteErrno);
    errno = 0;
    if (fclose(pFile) != 0) {
        NoteWriteError(pnWriteErrno);
        bOk = false;
    }
    return bOk;
}

}  // namespace

uint64_t StagingSpaceNeeded(int nResourceId)
{
    Platform::ResourceBlob blob;
    if (!Platform::FindResourceBlob(FIRMWARE_RESOURCE_TYPE, nResourceId, &blob))
        return 0;
    return 2 * static_cast<uint64_t>(blob.nSize);
}

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

bool StageFirmwareImage(int nResourceId, std::string* pstrPath, int* pnWriteErrno)
{
    pstrPath->clear();
    if (pnWriteErrno != nullptr)
        *pnWriteErrno = 0;
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
    return WriteAll(pstrPath->c_str(), blob.pData, blob.nSize, pnWriteErrno);
}

bool StageFirmwareFile(const char* pszSourcePath, std::string* pstrPath, int* pnWriteErrno)
{
    pstrPath->clear();
    if (pnWriteErrno != nullptr)
        *pnWriteErrno = 0;
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
    errno = 0;
    FILE* pTarget = bOk ? Platform::OpenFile(pstrPath->c_str(), "wb") : nullptr;
    if (bOk && pTarget == nullptr)
        NoteWriteError(pnWriteErrno);
    bOk = pTarget != nullptr;
    std::vector<uint8_t> buffer(bOk ? COPY_CHUNK_BYTES : 0);
    while (bOk) {
        size_t nRead = fread(buffer.data(), 1, buffer.size(), pSource);
        if (nRead == 0) {
            bOk = !ferror(pSource);
            break;
        }
        errno = 0;
        bOk = fwrite(buffer.data(), 1, nRead, pTarget) == nRead;
        if (!bOk)
            NoteWriteError(pnWriteErrno);
    }
    fclose(pSource);
    errno = 0;
    if (pTarget != nullptr && fclose(pTarget) != 0) {
        NoteWriteError(pnWriteErrno);
        bOk = false;
    }
    return bOk;
}

void RemoveLeftoverStagedFiles(int nResourceId)
{
    std::string strFolder;
    std::string strImage;
    if (!Platform::EnterTempFolder(&strFolder) || !GetStagedImagePath(&strImage))
        return;
    Platform::ResourceBlob blob;
    CContainerInfo info;
    if (Platform::FindResourceBlob(FIRMWARE_RESOURCE_TYPE, nResourceId, &blob) &&
        DecodeContainerHeader(blob.pData, blob.nSize, &info) == 0) {
        for (int i = 0; i < info.RecordCount(); ++i) {
            char szName[32];
            snprintf(szName, sizeof szName, "%.4s%d", info.Entry(i).m_achName, i);
            const std::string strPath = strFolder + szName;
            if (Platform::FileExists(strPath.c_str()))
                Platform::DeleteFileAt(strPath.c_str());
        }
    }
    if (Platform::FileExists(strImage.c_str()))
        Platform::DeleteFileAt(strImage.c_str());
}
