#pragma once
// A minimal device for the port tests: the far end of a pty that answers every frame whose CRC is
// right with 7E tag status CRC 7E, and records what it received. Frames with a bad CRC get no answer.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CPtyPeer {
public:
    ~CPtyPeer() { Stop(); }
    bool Start();
    void Stop();
    // Hangs up: closes the master side, as a device that goes away does.
    void HangUp();
    const std::string& SlavePath() const { return m_strSlavePath; }
    void SetStatus(uint8_t byStatus) { m_byStatus = byStatus; }
    void SetSilent(bool bSilent) { m_bSilent = bSilent; }
    // Raw bytes written to the master side (sent to the host).
    void SendRaw(const std::vector<uint8_t>& bytes);
    // Every complete frame received, as it was on the wire (flags included).
    std::vector<std::vector<uint8_t>> Frames();
    // Waits up to nMs for at least nCount frames.
    bool WaitFrames(size_t nCount, int nMs);

private:
    void Run();
    void OnByte(uint8_t by);
    void Answer(const std::vector<uint8_t>& frame);

    int m_fdMaster = -1;
    int m_fdSlaveKeep = -1;
    std::string m_strSlavePath;
    std::thread m_thread;
    std::atomic<bool> m_bStop{false};
    std::atomic<uint8_t> m_byStatus{2};
    std::atomic<bool> m_bSilent{false};
    std::mutex m_mutex;
    std::vector<std::vector<uint8_t>> m_frames;
    std::vector<uint8_t> m_current;
    bool m_bInFrame = false;
};
