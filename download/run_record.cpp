#include "download/run_record.h"

#include <chrono>
#include <ctime>

#include "download/protocol.h"
#include "download/run_stop.h"
#include "platform/clock.h"

namespace {

uint32_t GetLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

const char* CommandName(uint8_t byOpcode)
{
    switch (byOpcode) {
    case CMD_STARTUP:
        return "startup";
    case CMD_ERASE:
        return "erase";
    case CMD_WRITE:
        return "write";
    case CMD_CLOSE_USB:
        return "close-usb";
    case CMD_REBUILD:
        return "rebuild";
    case CMD_RESET:
        return "reset";
    default:
        return "command";
    }
}

// UTC with milliseconds, so logs of benches in different time zones line up.
std::string TimeStamp()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t nSeconds = std::chrono::system_clock::to_time_t(now);
    const long nMs = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    char szTime[40] = "unknown time";
    if (const std::tm* pTime = std::gmtime(&nSeconds)) {
        std::strftime(szTime, sizeof(szTime), "%Y-%m-%dT%H:%M:%S", pTime);
    }
    char szStamp[64];
    std::snprintf(szStamp, sizeof(szStamp), "%s.%03ldZ", szTime, nMs);
    return szStamp;
}

}  // namespace

CRunRecord::~CRunRecord()
{
    Close();
}

bool CRunRecord::Open(const std::string& strPath, std::string* pstrError)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // "a": made when missing, appended to otherwise; what is in the file stays.
    m_pFile = std::fopen(strPath.c_str(), "a");
    if (m_pFile == nullptr) {
        *pstrError = "cannot open the log " + strPath + " for appending";
        return false;
    }
    return true;
}

void CRunRecord::KeepInMemory()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bMemory = true;
    m_strText.clear();
    m_bPending = false;
    m_last = SentCommand{};
    m_bLastFailed = false;
}

std::string CRunRecord::Text() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_strText;
}

void CRunRecord::Close()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_pFile == nullptr && !m_bMemory) {
        return;
    }
    if (m_bPending) {
        WriteLocked(Describe(m_pending) + " -> no reply waited for");
        m_bPending = false;
    }
    if (m_pFile != nullptr) {
        std::fclose(m_pFile);
        m_pFile = nullptr;
    }
}

void CRunRecord::Write(const std::string& strRecord)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    WriteLocked(strRecord);
}

void CRunRecord::WriteLocked(const std::string& strRecord)
{
    if (m_bMemory) {
        m_strText += TimeStamp() + " " + strRecord + "\n";
    }
    if (m_pFile == nullptr) {
        return;
    }
    std::fprintf(m_pFile, "%s %s\n", TimeStamp().c_str(), strRecord.c_str());
    // A run that ends in a crash or a pulled cable must still leave its record behind.
    std::fflush(m_pFile);
}

std::string CRunRecord::Describe(const SentCommand& command)
{
    char szText[160];
    if (command.bAddressed) {
        std::snprintf(szText, sizeof(szText), "%s tag=%u address=0x%08X length=%u attempt=%d%s",
                      CommandName(command.byOpcode), command.byTag, command.dwAddress, command.dwLength,
                      command.nAttempt, command.nAttempt > 1 ? " (retry)" : "");
    } else {
        std::snprintf(szText, sizeof(szText), "%s tag=%u payload=%u attempt=%d%s", CommandName(command.byOpcode),
                      command.byTag, command.nPayload, command.nAttempt, command.nAttempt > 1 ? " (retry)" : "");
    }
    return szText;
}

void CRunRecord::OnCommandSent(uint8_t byTag, const uint8_t* pPayload, uint32_t nLength)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bPending) {
        WriteLocked(Describe(m_pending) + " -> no reply waited for");
    }
    SentCommand command;
    command.byOpcode = nLength > 0 ? pPayload[0] : 0;
    command.byTag = byTag;
    command.nPayload = nLength;
    if (command.byOpcode == CMD_ERASE && nLength >= 9) {
        command.bAddressed = true;
        command.dwAddress = GetLe32(pPayload + 1);
        command.dwLength = GetLe32(pPayload + 5);
    } else if (command.byOpcode == CMD_WRITE && nLength >= WRITE_HEADER_SIZE) {
        command.bAddressed = true;
        command.dwAddress = GetLe32(pPayload + 1);
        command.dwLength = static_cast<uint32_t>(pPayload[5]) | static_cast<uint32_t>(pPayload[6]) << 8;
    }
    // The same command right after a failed one is its next attempt; anything else starts afresh.
    const bool bSame = m_last.byOpcode == command.byOpcode && m_last.byTag == command.byTag &&
                       m_last.dwAddress == command.dwAddress && m_last.dwLength == command.dwLength;
    command.nAttempt = (bSame && m_bLastFailed) ? m_last.nAttempt + 1 : 1;
    command.nSentMs = Platform::MonotonicMs();
    m_pending = command;
    m_bPending = true;
}

void CRunRecord::OnReplyWaited(uint32_t nTimeoutMs, int32_t nResult, const uint8_t* pReply, int32_t nReplyLength)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool bGotStatus = nResult == REPLY_OK && nReplyLength > REPLY_STATUS_INDEX;
    const unsigned nStatus = bGotStatus ? pReply[REPLY_STATUS_INDEX] : 0;
    char szOutcome[128];
    if (nResult == REPLY_OK) {
        if (bGotStatus) {
            std::snprintf(szOutcome, sizeof(szOutcome), "status=%u%s", nStatus, nStatus == ACK_OK ? " ok" : " refused");
        } else {
            std::snprintf(szOutcome, sizeof(szOutcome), "reply of %d bytes without a status", nReplyLength);
        }
    } else if (nResult == REPLY_TIMEOUT) {
        std::snprintf(szOutcome, sizeof(szOutcome), "time-out after %u ms", nTimeoutMs);
    } else if (RunStopRequested()) {
        std::snprintf(szOutcome, sizeof(szOutcome), "stopped (interrupted)");
    } else {
        std::snprintf(szOutcome, sizeof(szOutcome), "wait failed (%d)", nResult);
    }
    if (!m_bPending) {
        // A reply still owed for an earlier attempt, waited out before the next step.
        WriteLocked(std::string("late reply: ") + szOutcome);
        return;
    }
    const int64_t nRoundTrip = Platform::MonotonicMs() - m_pending.nSentMs;
    char szTime[48] = "";
    if (nResult == REPLY_OK) {
        std::snprintf(szTime, sizeof(szTime), " rtt=%lldms", static_cast<long long>(nRoundTrip));
    }
    WriteLocked(Describe(m_pending) + " -> " + szOutcome + szTime);
    m_last = m_pending;
    m_bLastFailed = !(bGotStatus && nStatus == ACK_OK);
    m_bPending = false;
}
