#include "cli/progress_display.h"

#include "download/elapsed_text.h"
#include "download/notify.h"
#include "platform/clock.h"

namespace {
// Per-block status lines: on a terminal they share the progress line instead of scrolling by.
bool IsBlockStatus(const std::string& strText)
{
    return strText.rfind("Flash Writing", 0) == 0;
}
}  // namespace

CProgressDisplay::CProgressDisplay(FILE* pOut, bool bTerminal, int64_t nStartSeconds)
    : m_pOut(pOut), m_bTerminal(bTerminal), m_nStartSeconds(nStartSeconds)
{
}

void CProgressDisplay::ClearLine()
{
    if (m_bLineOpen) {
        std::fputs("\r\033[K", m_pOut);
        m_bLineOpen = false;
    }
}

void CProgressDisplay::ShowProgress(int nPercent)
{
    const int nElapsed = static_cast<int>(Platform::WallSeconds() - m_nStartSeconds);
    std::string strText = FormatElapsedText(nElapsed, nPercent);
    if (!m_strTimeLeft.empty()) {
        strText += ", " + m_strTimeLeft;
    }
    if (m_bTerminal) {
        ClearLine();
        if (!m_strBlockStatus.empty()) {
            std::fprintf(m_pOut, "%s | ", m_strBlockStatus.c_str());
        }
        std::fputs(strText.c_str(), m_pOut);
        m_bLineOpen = true;
    } else if (nPercent != m_nLastPercent || nElapsed / 10 != m_nLastElapsed / 10) {
        // In a log, a line per change of the percentage (and one every ten seconds) is enough.
        std::fprintf(m_pOut, "%s\n", strText.c_str());
    }
    m_nLastPercent = nPercent;
    m_nLastElapsed = nElapsed;
    std::fflush(m_pOut);
}

void CProgressDisplay::OnNotify(int32_t nCode)
{
    const std::string strText = StatusText;
    switch (nCode) {
    case NOTIFY_PROGRESS:
        ShowProgress(ProgressPercent);
        break;
    case NOTIFY_STATUS:
        if (strText.empty()) {
            break;
        }
        if (m_bTerminal && IsBlockStatus(strText)) {
            m_strBlockStatus = strText;
            ShowProgress(m_nLastPercent < 0 ? 0 : m_nLastPercent);
            break;
        }
        m_strBlockStatus.clear();
        ClearLine();
        std::fprintf(m_pOut, "%s\n", strText.c_str());
        if (m_bTerminal && m_nLastPercent >= 0) {
            ShowProgress(m_nLastPercent);
        }
        std::fflush(m_pOut);
        break;
    case NOTIFY_FINISHED:
        m_strFinal = strText;
        m_bFinished = true;
        break;
    default:
        break;
    }
}

void CProgressDisplay::Finish()
{
    if (m_bLineOpen) {
        std::fputs("\n", m_pOut);
        m_bLineOpen = false;
    }
    std::fflush(m_pOut);
}
