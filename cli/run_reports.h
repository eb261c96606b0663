#pragma once
// Everything one flashing run reports besides the engine's work: the text display with the time left and
// a closing summary, or --json events, and the --log record. main sets the run's reports up before the
// run and closes them with the exit status; the run feeds them the worker's notifications.
#include <cstdint>
#include <memory>
#include <string>

#include "cli/flash_run.h"

// False with the reason when the log cannot be opened or standard output cannot carry the events.
bool BeginRunReports(const FlashOptions& options, const char* pszToolVersion, std::string* pstrError);
// The "done" event and the log's last records.
void EndRunReports(int nExit);

// Stands where the worker's notifications arrive during the run (in place of the plain display).
class CRunReporter {
public:
    CRunReporter();
    ~CRunReporter();
    CRunReporter(const CRunReporter&) = delete;
    CRunReporter& operator=(const CRunReporter&) = delete;

    // One report of the worker; reads StatusText and ProgressPercent.
    void OnNotify(int32_t nCode);
    // Ends the display (call once the run is over).
    void Finish();
    const std::string& FinalText() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};
