#include "image/partition_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/message_box.h"

PartitionFileEntry PartitionFileList[PARTITION_SLOTS];
char PartitionNames[PARTITION_SLOTS][PARTITION_FILE_NAME_BYTES];

namespace {

// Raw pages are read in runs of about this size and their data written in one piece.
constexpr size_t CHUNK_BYTES = 1 << 20;

// The name comes from the table every time, so a second cut never stacks a second suffix.
void NamePartitionFile(int i)
{
    PartitionEntry entry = ContainerInfo.Entry(i);
    snprintf(ContainerInfo.m_records[i].m_szFileName, PARTITION_FILE_NAME_BYTES, "%.4s%d", entry.m_achName, i);
}

void ReportNotOpened(const char* pszName)
{
    char szText[PARTITION_FILE_NAME_BYTES + 64];
    snprintf(szText, sizeof szText, "%s %s %s", "The file", pszName, "could not be opened.");
    Platform::ShowMessageBox(szText, "", Platform::MESSAGE_ICON_WARNING);
}

// Copies the data part of every page of one partition; false when the image ends early or a write fails
// (then *pnWriteErrno says why the write failed, and stays 0 for a short image).
bool CutPartition(FILE* pImage, FILE* pOut, const PartitionRecord& record, std::vector<uint8_t>& buffer,
                  int* pnWriteErrno)
{
    const uint32_t dwPage = ContainerInfo.PageSize();
    const uint32_t dwRaw = ContainerInfo.RawPageSize();
    const uint64_t nPagesPerChunk = buffer.size() / dwRaw;
    if (!Platform::SeekFile(pImage, ContainerInfo.FileOffset(record.m_dwImageStart)))
        return false;
    uint64_t nPagesLeft = (static_cast<uint64_t>(record.m_dwImageEnd - record.m_dwImageStart) + dwPage - 1) / dwPage;
    while (nPagesLeft > 0) {
        size_t nPages = static_cast<size_t>(nPagesLeft < nPagesPerChunk ? nPagesLeft : nPagesPerChunk);
        nPagesLeft -= nPages;
        // Whole raw pages, except that the partition's last page needs no spare bytes after it.
        size_t nWant = nPagesLeft > 0 ? nPages * dwRaw : (nPages - 1) * dwRaw + dwPage;
        if (fread(buffer.data(), 1, nWant, pImage) != nWant)
            return false;
        for (size_t k = 1; k < nPages; ++k)
            memmove(&buffer[k * dwPage], &buffer[k * dwRaw], dwPage);
        errno = 0;
        if (fwrite(buffer.data(), 1, nPages * dwPage, pOut) != nPages * dwPage) {
            *pnWriteErrno = errno != 0 ? errno : EIO;
            return false;
        }
    }
    return true;
}

}  // namespace

int32_t MakePartitionFiles(const char* pszImagePath, int* pnWriteErrno)
{
    int nWriteErrno = 0;
    if (pnWriteErrno == nullptr)
        pnWriteErrno = &nWriteErrno;
    *pnWriteErrno = 0;
    const uint32_t dwPage = ContainerInfo.PageSize();
    const uint32_t dwRaw = ContainerInfo.RawPageSize();
    if (dwPage == 0 || dwRaw < dwPage)
        return -1;
    FILE* pImage = Platform::OpenFile(pszImagePath, "rb");
    if (pImage == nullptr)
        return -1;
    // Sized on first use: a container without partitions may carry any page geometry.
    std::vector<uint8_t> buffer;
    // Every record gets its file name first: the clean-up deletes by these names even when the cutting
    // stops early, and a bare four-letter name could be someone else's file in a shared folder.
    for (int i = 0; i < ContainerInfo.RecordCount(); ++i)
        NamePartitionFile(i);

    int32_t nResult = 0;
    for (int i = 0; i < ContainerInfo.RecordCount(); ++i) {
        PartitionRecord& record = ContainerInfo.m_records[i];
        if (buffer.empty())
            buffer.resize(CHUNK_BYTES / dwRaw > 0 ? CHUNK_BYTES / dwRaw * dwRaw : dwRaw);
        errno = 0;
        FILE* pOut = Platform::OpenFile(record.m_szFileName, "wb");
        if (pOut == nullptr) {
            *pnWriteErrno = errno != 0 ? errno : EIO;
            ReportNotOpened(record.m_szFileName);
            nResult = -1;
            break;
        }
        bool bComplete = CutPartition(pImage, pOut, record, buffer, pnWriteErrno);
        // Buffered bytes that do not fit show up only here.
        errno = 0;
        if (fclose(pOut) != 0) {
            if (bComplete)
                *pnWriteErrno = errno != 0 ? errno : EIO;
            bComplete = false;
        }
        if (!bComplete) {
            // A short partition file would be flashed as if it were whole.
            Platform::DeleteFileAt(record.m_szFileName);
            nResult = -1;
            break;
        }
    }
    fclose(pImage);
    return nResult;
}

void BuildPartitionFileList()
{
    for (int i = 0; i < PARTITION_SLOTS; ++i) {
        PartitionFileList[i].m_nIndex = FREE_SLOT;
        PartitionFileList[i].m_dwFlashAddress = NO_FLASH_ADDRESS;
        PartitionFileList[i].m_szPath[0] = '\0';
        PartitionNames[i][0] = '\0';
    }
    for (int i = 0; i < ContainerInfo.RecordCount() && i < PARTITION_SLOTS; ++i) {
        const PartitionRecord& record = ContainerInfo.m_records[i];
        PartitionFileList[i].m_nIndex = i;
        PartitionFileList[i].m_dwFlashAddress = record.m_dwFlashStart;
        snprintf(PartitionFileList[i].m_szPath, PARTITION_PATH_BYTES, "%s", record.m_szFileName);
        snprintf(PartitionNames[i], PARTITION_FILE_NAME_BYTES, "%s", record.m_szFileName);
    }
}

void RemoveStagedFiles(const char* pszImagePath)
{
    for (int i = 0; i < ContainerInfo.RecordCount(); ++i) {
        const char* pszName = ContainerInfo.m_records[i].m_szFileName;
        if (Platform::FileExists(pszName))
            Platform::DeleteFileAt(pszName);
    }
    if (Platform::FileExists(pszImagePath))
        Platform::DeleteFileAt(pszImagePath);
}
