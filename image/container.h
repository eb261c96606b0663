#pragma once
// The firmware container: a 1024-byte header with a table of up to 16 flash partitions, followed by
// the raw NAND pages (data + spare) of all partitions. All integers are 32-bit little-endian.
#include <cstddef>
#include <cstdint>
#include <string>

constexpr char CONTAINER_MAGIC[] = "LOCKPCHD";
constexpr size_t CONTAINER_MAGIC_BYTES = 8;
constexpr uint32_t CONTAINER_HEADER_BYTES = 1024;
constexpr int MAX_PARTITIONS = 16;
constexpr size_t PARTITION_NAME_BYTES = 4;
constexpr size_t PARTITION_FILE_NAME_BYTES = 256;
// The header copy kept in ContainerInfo: magic to the end of the partition table.
constexpr size_t HEADER_COPY_BYTES = 304;

// Largest page the parser accepts; the spare part of a raw page may not exceed the data part.
constexpr uint32_t MAX_PAGE_BYTES = 65536;

// Header field offsets.
constexpr size_t HDR_PARTITION_COUNT = 8;
constexpr size_t HDR_BLOCK_SIZE = 12;
constexpr size_t HDR_PAGE_SIZE = 16;
constexpr size_t HDR_RAW_PAGE_SIZE = 20;
constexpr size_t HDR_RESERVED = 24;
constexpr size_t HDR_IMAGE_NAME = 32;
constexpr size_t HDR_PARTITION_TABLE = 48;
constexpr size_t HDR_DIGEST = 304;
constexpr size_t HDR_FILL = 320;
constexpr size_t PARTITION_ENTRY_BYTES = 16;
constexpr size_t IMAGE_NAME_BYTES = 16;
constexpr size_t DIGEST_BYTES = 16;

// One entry of the header's partition table, as stored.
struct PartitionEntry {
    uint32_t m_dwStartBlock;
    uint32_t m_dwEndBlock;    // inclusive; not used by the download
    uint32_t m_dwBlockCount;  // blocks of data the file carries
    char m_achName[PARTITION_NAME_BYTES];
};

// Where a partition lies in flash and in the logical page data (spare bytes not counted).
struct PartitionRecord {
    uint32_t m_dwFlashStart;
    uint32_t m_dwFlashEnd;  // one past the last data byte
    uint32_t m_dwImageStart;
    uint32_t m_dwImageEnd;
    char m_szFileName[PARTITION_FILE_NAME_BYTES];  // the four name characters; staging appends the index
};

class CContainerInfo {
public:
    int32_t m_nCount = 0;  // as read from the header
    PartitionRecord m_records[MAX_PARTITIONS] = {};
    uint8_t m_abHeader[HEADER_COPY_BYTES] = {};

    uint32_t BlockSize() const;
    uint32_t PageSize() const;
    uint32_t RawPageSize() const;
    uint32_t SpareSize() const { return RawPageSize() - PageSize(); }
    // Records in use: the count, limited to 0..16.
    int RecordCount() const;
    // Table entry i as stored in the header copy.
    PartitionEntry Entry(int i) const;
    // File offset of logical data offset dwLogical (counting data bytes only).
    uint64_t FileOffset(uint32_t dwLogical) const;
};

// The parsed container of the current download run.
extern CContainerInfo ContainerInfo;

enum DigestCheck {
    DIGEST_IGNORE = 0,  // layout only (a caller that checks the digest itself, fuzzing)
    DIGEST_VERIFY = 1,
};

// Decodes and checks a whole container held in memory: magic, geometry, partition table, names, the
// flash layout (each partition's blocks fit its region, no two regions overlap), that the file holds
// every page the table describes, and (if asked) the page-data digest.
// Returns 0 and fills *pInfo, or -1 and leaves *pInfo unchanged; pstrFault, if given, then says why.
int DecodeContainer(const uint8_t* pData, size_t nSize, CContainerInfo* pInfo, DigestCheck nDigest = DIGEST_VERIFY,
                    std::string* pstrFault = nullptr);

// The header part of DecodeContainer: pHeader holds the first CONTAINER_HEADER_BYTES of a file of
// nFileSize bytes. The digest is not checked.
int DecodeContainerHeader(const uint8_t* pHeader, uint64_t nFileSize, CContainerInfo* pInfo,
                          std::string* pstrFault = nullptr);

// True for a partition name that can safely become part of a file name in the working folder.
bool IsSafePartitionName(const char achName[PARTITION_NAME_BYTES]);

// Checks the container file at pszPath (digest included) and fills ContainerInfo. 0 or -1; pstrFault,
// if given, then says why.
int32_t ParseContainer(const char* pszPath, std::string* pstrFault = nullptr);
