#pragma once
// The record of one run for support: the tool, the host, the port, the image, every command with its
// reply (or time-out) and round-trip time, every status line, the end; one timestamped line each.
// krt-flash appends it to its --log file (an existing file is never truncated); the wizard keeps it in
// memory until the user saves or copies it.
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

#include "download/command_observer.h"

class CRunRecord : public ICommandObserver {
public:
    CRunRecord() = default;
    ~CRunRecord() override;
    CRunRecord(const CRunRecord&) = delete;
    CRunRecord& operator=(const CRunRecord&) = delete;

    // False with the reason when the file cannot be opened for appending.
    bool Open(const std::string& strPath, std::string* pstrError);
    // Records from now on go into memory (Text), from an empty record.
    void KeepInMemory();
    bool IsOpen() const { return m_pFile != nullptr || m_bMemory; }
    // What the record holds in memory: UTF-8 lines, each ending in a line feed.
    std::string Text() const;
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

    mutable std::mutex m_mutex;
    FILE* m_pFile = nullptr;
    bool m_bMemory = false;
    std::string m_strText;
    bool m_bPending = false;  // a command is out and its wait has not ended
    SentCommand m_pending;
    SentCommand m_last;       // the command before, to number the attempts of a retried one
    bool m_bLastFailed = false;
};
