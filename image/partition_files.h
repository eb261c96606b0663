#pragma once
// The staged container cut into one data-only file per partition, and the list of those files that
// the download sequence works through.
#include <cstdint>

#include "image/container.h"

constexpr int PARTITION_SLOTS = 13;
constexpr size_t PARTITION_PATH_BYTES = 1024;
constexpr int32_t FREE_SLOT = -1;
constexpr uint32_t NO_FLASH_ADDRESS = 0xFFFFFFFFu;

struct PartitionFileEntry {
    int32_t m_nIndex = FREE_SLOT;
    int32_t m_nRow = 0;                        // kept by the download sequence
    char m_szPath[PARTITION_PATH_BYTES] = {};  // partition file name; empty for a free slot
    uint32_t m_dwFlashAddress = NO_FLASH_ADDRESS;
    uint32_t m_dwFileSize = 0;      // kept by the download sequence
    uint32_t m_dwBytesWritten = 0;  // kept by the download sequence
};

extern PartitionFileEntry PartitionFileList[PARTITION_SLOTS];
// Slot i's partition file name, for status messages.
extern char PartitionNames[PARTITION_SLOTS][PARTITION_FILE_NAME_BYTES];

// Writes one file per partition of ContainerInfo into the current folder, named after the
// partition and its index (MIBI0, SIM_1, ...), holding the partition's page data without spare
// bytes. 0 on success; -1 when the image cannot be read or a file cannot be made complete (an
// incomplete partition file is deleted, so it can never be flashed). When a partition file could not be
// created or written (a full disk, say), *pnWriteErrno receives the error number; otherwise 0.
int32_t MakePartitionFiles(const char* pszImagePath, int* pnWriteErrno = nullptr);

// Fills PartitionFileList and PartitionNames from ContainerInfo: partitions 0 to 12, the rest free.
void BuildPartitionFileList();

// Deletes the partition files of ContainerInfo from the current folder, then the staged image.
void RemoveStagedFiles(const char* pszImagePath);
