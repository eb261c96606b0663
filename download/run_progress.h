#pragma once
// How far a whole run is, read from the worker's reports: which of the partitions to write is at work,
// the share of all their bytes written (it never goes back, though each partition's own bar starts
// again at 0 %) and the time left. The command-line flasher and the wizard read a run through it, so
// both show the same figures.
#include <cstdint>
#include <string>

#include "download/write_rate.h"

class CRunProgress {
public:
    // A status line of the run: the erase of a partition starts it, "Download complete!" ends it.
    void OnStatus(const std::string& strText);
    // A progress report of the partition at work.
    void OnProgress(int64_t nNowMs);

    // The partition at work, counted from 1 among those to write; 0 before the first.
    int PartitionNumber() const { return m_nNumber; }
    // How many partitions the run writes; 0 until the first erase.
    int PartitionCount() const { return m_nCount; }
    int PartitionsDone() const { return m_nPartitionsDone; }
    // The name of the partition at work; empty before the first.
    std::string PartitionName() const;
    // Percent of all bytes to write, 0 to 100.
    int Percent() const { return m_nPercent; }
    // Seconds left, below 0 while there is no estimate yet (see CWriteRate).
    double SecondsLeft(int64_t nNowMs) { return m_rate.SecondsLeft(nNowMs); }
    const CWriteRate& Rate() const { return m_rate; }
    // When the last written byte was reported; 0 before any.
    int64_t LastWriteMs() const { return m_nLastWriteMs; }

private:
    CWriteRate m_rate;
    int m_nSlot = -1;            // the partition at work
    uint64_t m_nDoneBefore = 0;  // bytes of the partitions before it
    int m_nNumber = 0;
    int m_nCount = 0;
    int m_nPartitionsDone = 0;
    int m_nPercent = 0;
    int64_t m_nLastWriteMs = 0;
};

// The partition slot an "Erase Flash.... [NAME]" status line names; -1 for any other line.
int SlotOfEraseStatus(const std::string& strText);
