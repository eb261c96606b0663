#pragma once
// The download on a thread of its own: runs the sequence, removes the staged files, closes the port and
// reports the outcome as its last act.
#include <cstdint>
#include <string>

struct DownloadJob {
    std::string strImagePath;  // the staged firmware image
    int32_t nRebuildFlag = 1;  // 1 runs the unlock and rebuild steps
};

// Thread procedure; takes ownership of the DownloadJob it is given. 1 after a successful run, else 0.
unsigned DownloadWorker(void* pParam);
