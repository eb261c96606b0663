#pragma once
// One krt-flash run: stage the image, watch for the port, run the download worker, report.
#include <string>

struct FlashOptions {
    std::string strImage;   // container file; empty for the embedded image
    std::string strPort;    // device path (Linux) or COMn (Windows); empty to discover it
    bool bSimulate = false; // flash a simulated device in this process and verify it
    bool bNoRebuild = false;
    bool bJson = false;     // JSON events on stdout instead of the text display
    std::string strLog;     // support log to append to; empty for none
};

// Returns the exit status (cli/exit_codes.h).
int RunFlash(const FlashOptions& options);

// --info: prints the partition table of the image. Returns the exit status.
int PrintImageInfo(const std::string& strImage);
