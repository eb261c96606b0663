#pragma once
// What krt-flash prints while a download runs: every status line as it comes, and one progress line
// with the download screen's elapsed-time caption, redrawn in place on a terminal.
#include <cstdint>
#include <cstdio>
#include <string>

class CProgressDisplay {
public:
    CProgressDisplay(FILE* pOut, bool bTerminal, int64_t nStartSeconds);

    // One report of the worker; reads StatusText and ProgressPercent.
    void OnNotify(int32_t nCode);
    // "about N s left" beside the progress from now on; empty for none.
    void SetTimeLeft(const std::string& strTimeLeft) { m_strTimeLeft = strTimeLeft; }
    // Ends the progress line (call once the run is over).
    void Finish();

    const std::string& FinalText() const { return m_strFinal; }
    bool Finished() const { return m_bFinished; }

private:
    void ShowProgress(int nPercent);
    void ClearLine();

    FILE* m_pOut;
    bool m_bTerminal;
    int64_t m_nStartSeconds;
    bool m_bLineOpen = false;  // a progress line is on screen without its newline
    int m_nLastPercent = -1;
    int m_nLastElapsed = -1;
    std::string m_strBlockStatus;  // the last per-block line, shown beside the progress
    std::string m_strTimeLeft;
    std::string m_strFinal;
    bool m_bFinished = false;
};
