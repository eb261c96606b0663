#pragma once
// One firmware download: port, container, partition files, startup, erase and write of every partition
// from slot 4 on, then close-USB, unlock, rebuild and reset.
#include <cstdint>

// True when the device was reset after a complete download; otherwise MessageText says why.
bool RunDownload(const char* pszImagePath, int32_t nRebuildFlag);

// Erases and writes the partition file of one slot: 1 on success, 0 on failure.
int32_t WritePartition(int nSlot);

// The progress of a partition after dwWritten of dwFileSize bytes, in percent.
int32_t PartitionPercent(uint32_t dwWritten, uint32_t dwFileSize);
