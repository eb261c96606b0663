#pragma once
// krt-flash --json: one JSON object per line on standard output, for service benches and scripts.
//   {"event":"status","port":...,"text":...}
//   {"event":"progress","port":...,"percent":...,"partition":...,"bytes_done":...,"bytes_total":...,
//    "elapsed_s":...,"eta_s":...}                (eta_s is null until there is an estimate)
//   {"event":"done","port":...,"text":...,"exit":...,"seconds":...}
// The parent of a multi-device run reads its children's lines back with ParseFlashEvent.
#include <cstdint>
#include <string>

enum FlashEventKind {
    FLASH_EVENT_STATUS = 0,
    FLASH_EVENT_PROGRESS,
    FLASH_EVENT_DONE,
};

struct FlashEvent {
    FlashEventKind nKind = FLASH_EVENT_STATUS;
    std::string strPort;
    std::string strText;       // status, done
    std::string strPartition;  // progress
    int nPercent = 0;          // progress: the current partition's percentage
    uint64_t nBytesDone = 0;   // progress: over all partitions of the run
    uint64_t nBytesTotal = 0;
    double dElapsedSeconds = 0.0;  // progress
    double dEtaSeconds = -1.0;     // progress: below 0 when not known yet
    int nExit = 0;                 // done
    double dSeconds = 0.0;         // done
};

// The event as one line of JSON, without the newline.
std::string FormatFlashEvent(const FlashEvent& event);

// False when the line is not one of our events (a stray message of a child, say).
bool ParseFlashEvent(const std::string& strLine, FlashEvent* pEvent);
