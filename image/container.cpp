#include "image/container.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/md5.h"

CContainerInfo ContainerInfo;

namespace {

uint32_t ReadLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// Reading the digest in pieces keeps the 62 MB image off the heap.
constexpr size_t DIGEST_CHUNK_BYTES = 1 << 20;

bool IsReservedDeviceName(const char* pszName)
{
    // Windows treats "AUX.0" and the like as devices whatever folder they are in.
    static const char* const RESERVED[] = {"CON.", "PRN.", "AUX.", "NUL."};
    for (const char* pszReserved : RESERVED) {
        bool bMatch = true;
        for (size_t i = 0; i < 4 && bMatch; ++i) {
            char ch = pszName[i];
            if (ch >= 'a' && ch <= 'z')
                ch = static_cast<char>(ch - 'a' + 'A');
            bMatch = ch == pszReserved[i];
        }
        if (bMatch)
            return true;
    }
    return false;
}

const char* const DIGEST_FAULT = "Its page data do not match the digest in its header.";

bool Fail(std::string* pstrFault, const char* pszFault)
{
    if (pstrFault != nullptr)
        *pstrFault = pszFault;
    return false;
}

std::string EntryName(const PartitionEntry& entry)
{
    return std::string(entry.m_achName, PARTITION_NAME_BYTES);
}

// A partition is written from its start block on, as many blocks as it carries, and erased as far; so
// its blocks must lie in its own region (start to end block), and no region may reach into another: a
// wrong table would otherwise erase a neighbour, such as a boot partition, on the device.
bool CheckFlashLayout(const CContainerInfo& info, std::string* pstrFault)
{
    char szFault[160];
    for (int i = 0; i < info.RecordCount(); ++i) {
        const PartitionEntry entry = info.Entry(i);
        if (entry.m_dwEndBlock < entry.m_dwStartBlock ||
            entry.m_dwBlockCount > static_cast<uint64_t>(entry.m_dwEndBlock) - entry.m_dwStartBlock + 1) {
            std::snprintf(szFault, sizeof(szFault), "Partition %s carries %u blocks, more than its flash region (blocks %u to %u) holds.",
                          EntryName(entry).c_str(), entry.m_dwBlockCount, entry.m_dwStartBlock, entry.m_dwEndBlock);
            return Fail(pstrFault, szFault);
        }
        for (int j = 0; j < i; ++j) {
            const PartitionEntry other = info.Entry(j);
            if (entry.m_dwStartBlock <= other.m_dwEndBlock && other.m_dwStartBlock <= entry.m_dwEndBlock) {
                std::snprintf(szFault, sizeof(szFault),
                              "Partitions %s (blocks %u to %u) and %s (blocks %u to %u) overlap in flash.",
                              EntryName(other).c_str(), other.m_dwStartBlock, other.m_dwEndBlock,
                              EntryName(entry).c_str(), entry.m_dwStartBlock, entry.m_dwEndBlock);
                return Fail(pstrFault, szFault);
            }
        }
    }
    return true;
}

}  // namespace

uint32_t CContainerInfo::BlockSize() const { return ReadLe32(m_abHeader + HDR_BLOCK_SIZE); }
uint32_t CContainerInfo::PageSize() const { return ReadLe32(m_abHeader + HDR_PAGE_SIZE); }
uint32_t CContainerInfo::RawPageSize() const { return ReadLe32(m_abHeader + HDR_RAW_PAGE_SIZE); }

int CContainerInfo::RecordCount() const
{
    if (m_nCount <= 0)
        return 0;
    return m_nCount > MAX_PARTITIONS ? MAX_PARTITIONS : m_nCount;
}

PartitionEntry CContainerInfo::Entry(int i) const
{
    const uint8_t* p = m_abHeader + HDR_PARTITION_TABLE + PARTITION_ENTRY_BYTES * static_cast<size_t>(i);
    PartitionEntry entry;
    entry.m_dwStartBlock = ReadLe32(p);
    entry.m_dwEndBlock = ReadLe32(p + 4);
    entry.m_dwBlockCount = ReadLe32(p + 8);
    memcpy(entry.m_achName, p + 12, PARTITION_NAME_BYTES);
    return entry;
}

uint64_t CContainerInfo::FileOffset(uint32_t dwLogical) const
{
    uint32_t dwPage = PageSize();
    if (dwPage == 0)
        return CONTAINER_HEADER_BYTES;
    return CONTAINER_HEADER_BYTES + static_cast<uint64_t>(dwLogical / dwPage) * RawPageSize() + dwLogical % dwPage;
}

bool IsSafePartitionName(const char achName[PARTITION_NAME_BYTES])
{
    for (size_t i = 0; i < PARTITION_NAME_BYTES; ++i) {
        unsigned char ch = static_cast<unsigned char>(achName[i]);
        // Printable, no blank, nothing a file system gives a meaning to.
        if (ch <= 0x20 || ch >= 0x7F || strchr("/\\:*?\"<>|", ch) != nullptr)
            return false;
        if (ch == '.' && i + 1 < PARTITION_NAME_BYTES && achName[i + 1] == '.')
            return false;
    }
    return !IsReservedDeviceName(achName);
}

int DecodeContainerHeader(const uint8_t* pHeader, uint64_t nFileSize, CContainerInfo* pInfo, std::string* pstrFault)
{
    const char* const GEOMETRY = "Its header gives an impossible block, page or partition count.";
    if (pHeader == nullptr || pInfo == nullptr || nFileSize < CONTAINER_HEADER_BYTES)
        return Fail(pstrFault, "It is shorter than a container header."), -1;
    if (memcmp(pHeader, CONTAINER_MAGIC, CONTAINER_MAGIC_BYTES) != 0)
        return Fail(pstrFault, "It does not begin as a firmware container does."), -1;

    int32_t nCount = static_cast<int32_t>(ReadLe32(pHeader + HDR_PARTITION_COUNT));
    uint32_t dwBlock = ReadLe32(pHeader + HDR_BLOCK_SIZE);
    uint32_t dwPage = ReadLe32(pHeader + HDR_PAGE_SIZE);
    uint32_t dwRawPage = ReadLe32(pHeader + HDR_RAW_PAGE_SIZE);
    // Later steps iterate over the count as read; a count the table cannot hold is no container.
    if (nCount > MAX_PARTITIONS)
        return Fail(pstrFault, GEOMETRY), -1;
    if (dwPage == 0 || dwRawPage < dwPage || dwBlock == 0 || dwBlock % dwPage != 0)
        return Fail(pstrFault, GEOMETRY), -1;
    // NAND pages are a few KiB with a spare area far smaller than the data; a header claiming pages of
    // gigabytes (with no blocks to store) would only make the cutting step allocate that much.
    if (dwPage > MAX_PAGE_BYTES || dwRawPage - dwPage > dwPage)
        return Fail(pstrFault, GEOMETRY), -1;

    CContainerInfo info;
    info.m_nCount = nCount;
    memcpy(info.m_abHeader, pHeader, HEADER_COPY_BYTES);

    const uint64_t LIMIT = 0xFFFFFFFFu;
    uint64_t nImageStart = 0;
    for (int i = 0; i < info.RecordCount(); ++i) {
        PartitionEntry entry = info.Entry(i);
        if (!IsSafePartitionName(entry.m_achName))
            return Fail(pstrFault, "A partition name cannot be a file name."), -1;
        uint64_t nFlashStart = static_cast<uint64_t>(entry.m_dwStartBlock) * dwBlock;
        uint64_t nFlashEnd = (static_cast<uint64_t>(entry.m_dwStartBlock) + entry.m_dwBlockCount) * dwBlock;
        uint64_t nImageEnd = nImageStart + static_cast<uint64_t>(entry.m_dwBlockCount) * dwBlock;
        if (nFlashEnd > LIMIT || nImageEnd > LIMIT)
            return Fail(pstrFault, "A partition reaches past 4 GB."), -1;
        PartitionRecord& record = info.m_records[i];
        record.m_dwFlashStart = static_cast<uint32_t>(nFlashStart);
        record.m_dwFlashEnd = static_cast<uint32_t>(nFlashEnd);
        record.m_dwImageStart = static_cast<uint32_t>(nImageStart);
        record.m_dwImageEnd = static_cast<uint32_t>(nImageEnd);
        memcpy(record.m_szFileName, entry.m_achName, PARTITION_NAME_BYTES);
        record.m_szFileName[PARTITION_NAME_BYTES] = '\0';
        nImageStart = nImageEnd;
    }

    // Every page the table describes must be in the file; a short file would flash truncated partitions.
    uint64_t nRawEnd = CONTAINER_HEADER_BYTES + nImageStart / dwPage * dwRawPage;
    if (nRawEnd > LIMIT || nRawEnd > nFileSize)
        return Fail(pstrFault, "The file is shorter than its partition table says."), -1;
    if (!CheckFlashLayout(info, pstrFault))
        return -1;

    *pInfo = info;
    return 0;
}

int DecodeContainer(const uint8_t* pData, size_t nSize, CContainerInfo* pInfo, DigestCheck nDigest,
                    std::string* pstrFault)
{
    CContainerInfo info;
    if (DecodeContainerHeader(pData, nSize, &info, pstrFault) != 0)
        return -1;
    if (nDigest == DIGEST_VERIFY) {
        uint8_t abDigest[Platform::MD5_DIGEST_BYTES];
        if (!Platform::ComputeMd5(pData + CONTAINER_HEADER_BYTES, nSize - CONTAINER_HEADER_BYTES, abDigest) ||
            memcmp(abDigest, pData + HDR_DIGEST, DIGEST_BYTES) != 0)
            return Fail(pstrFault, DIGEST_FAULT), -1;
    }
    *pInfo = info;
    return 0;
}

int32_t ParseContainer(const char* pszPath, std::string* pstrFault)
{
    FILE* pFile = Platform::OpenFile(pszPath, "rb");
    if (pFile == nullptr)
        return Fail(pstrFault, "It cannot be opened."), -1;
    uint64_t nFileSize = 0;
    std::vector<uint8_t> buffer(DIGEST_CHUNK_BYTES);
    CContainerInfo info;
    bool bOk = Platform::GetFileSize(pszPath, &nFileSize) &&
               fread(buffer.data(), 1, CONTAINER_HEADER_BYTES, pFile) == CONTAINER_HEADER_BYTES &&
               DecodeContainerHeader(buffer.data(), nFileSize, &info, pstrFault) == 0;
    const bool bHeaderOk = bOk;
    uint8_t abExpected[DIGEST_BYTES];
    if (bOk)
        memcpy(abExpected, buffer.data() + HDR_DIGEST, DIGEST_BYTES);

    // The digest covers everything after the header, to the end of the file.
    Platform::CMd5 md5;
    uint64_t nDigested = 0;
    while (bOk) {
        size_t nRead = fread(buffer.data(), 1, buffer.size(), pFile);
        if (nRead == 0)
            break;
        bOk = md5.Update(buffer.data(), nRead);
        nDigested += nRead;
    }
    bOk = bOk && !ferror(pFile) && nDigested == nFileSize - CONTAINER_HEADER_BYTES;
    fclose(pFile);

    uint8_t abDigest[Platform::MD5_DIGEST_BYTES];
    if (!bOk || !md5.Final(abDigest) || memcmp(abDigest, abExpected, DIGEST_BYTES) != 0) {
        if (bHeaderOk)
            Fail(pstrFault, bOk ? DIGEST_FAULT : "It cannot be read to its end.");
        return -1;
    }
    ContainerInfo = info;
    return 0;
}
