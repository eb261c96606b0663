#pragma once
// krt-flash --log FILE: a timestamped record of one run for support: the tool, the host, the port, the
// image, every command with its reply (or time-out) and round-trip time, every status line, the end.
// Appends; an existing file is never truncated.
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

#include "download/command_observer.h"

class CRunLog : public ICommandObserver {
public:
    CRunLog() = default;
    ~CRunLog() override;
    CRunLog(const CRunLog&) = delete;
    CRunLog& operator=(const CRunLog&) = delete;

    // False with the reason when the file cannot be opened for appending.
    bool Open(const std::string& strPath, std::string* pstrError);
    bool IsOpen() const { return m_pFile != nullptr; }
    // One timestamped record.
    void Write(const std::string& strRecord);
    void Close();

    void OnCommandSent(uint8_t byTag, const uint8_t* pPayload, uint32_t nLength) override;
    void OnReplyWaited(uint32_t nTimeoutMs, int32_t nResult, const uint8_t* pReply, int32_t nReplyLength) override;

private:
    struct SentCommand {
        uint8_t byOpcode = 0;
        uint8_t byTag = 0;
        bool bAddressed = false;  // erase and write carry an address and a length
        uint32_t dwAddress = 0;
        uint32_t dwLength = 0;
        uint32_t nPayload = 0;
        int nAttempt = 0;
        int64_t nSentMs = 0;
    };

    void WriteLocked(const std::string& strRecord);
    static std::string Describe(const SentCommand& command);

    std::mutex m_mutex;
    FILE* m_pFile = nullptr;
    bool m_bPending = false;  // a command is out and its wait has not ended
    SentCommand m_pending;
    SentCommand m_last;       // the command before, to number the attempts of a retried one
    bool m_bLastFailed = false;
};

// The log of one device among several: "run.log" for COM7 becomes "run-COM7.log", for /dev/ttyUSB0
// "run-ttyUSB0.log".
std::string LogPathForPort(const std::string& strLog, const std::string& strPort);
