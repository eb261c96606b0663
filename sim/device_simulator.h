#pragma once
// The simulated KRT-P940 in download mode on a pseudo-terminal: a thread that reads host frames from the
// pty, answers them through CDeviceCore and paces the link. Used by the krt-devsim program, by tests
// in-process, and by the flasher's simulate mode.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/device_core.h"
#include "sim/flash_verify.h"

namespace Platform {
using PtyHandle = struct PtyDevice*;
}

namespace Sim {

struct SimSettings {
    std::vector<FaultRule> faults;
    uint32_t nUnplugAfterWrites = 0;  // hang up after answering this many written blocks; 0: never
    uint32_t nThrottleBytesPerSecond = 0;  // both directions; 0: as fast as the pty goes
    uint32_t nLatencyMs = 0;          // before every reply
    uint32_t nRebootMs = 100;         // from the host having read the reset reply to the hang-up
    uint32_t nChunkGapRealMs = 10;    // pause between the pieces of a split reply, in real milliseconds
    int nRuns = 1;                    // sessions (each ending in a hang-up) before the device stops; 0: no limit
    std::string strLinkPath;          // when set, a symbolic link to the current pty
    // Called on the device thread for every transcript entry, and with the path of each new pty after a
    // hang-up (the first path is Start's result).
    std::function<void(const TranscriptEntry&)> fnOnEntry;
    std::function<void(const std::string&)> fnOnNewPty;
};
// Millisecond values above are the device's own and run scaled by Platform::SetTimeScale, like the host's
// time-outs, except nChunkGapRealMs, which only has to outlast a read on the host.

class CDeviceSimulator {
public:
    explicit CDeviceSimulator(SimSettings settings = {});
    ~CDeviceSimulator();
    CDeviceSimulator(const CDeviceSimulator&) = delete;
    CDeviceSimulator& operator=(const CDeviceSimulator&) = delete;

    // Opens the pty (and the link) and starts the device. Returns the pty's path; empty on failure.
    std::string Start();
    // Stops the device, hangs up, removes the link. Safe to call twice.
    void Stop();

    // Unplugs the device now, as if its cable were pulled: the pty hangs up (a run ends; with runs left a
    // new pty follows).
    void Unplug();

    // True once the last of the runs has ended in a hang-up (or the pty failed); waits up to nRealMs.
    bool WaitFinished(uint32_t nRealMs);
    bool IsFinished() const;
    std::string GetPtyPath() const;
    int GetRunsDone() const;

    void SetFaults(const std::vector<FaultRule>& faults);
    SessionState GetState() const;
    std::vector<TranscriptEntry> GetTranscript() const;
    std::string FormatTranscript() const;
    // A copy of flash bytes (clipped to the flash).
    std::vector<uint8_t> ReadFlash(uint32_t dwAddress, uint32_t dwLength) const;
    FlashUnitState GetUnit(uint32_t dwAddress) const;
    VerifyReport Verify(const uint8_t* pContainer, size_t nSize) const;
    VerifyReport Verify(const std::vector<uint8_t>& container) const { return Verify(container.data(), container.size()); }

private:
    void Run();
    bool OpenSession();
    void Reply(const DeviceAction& action);
    void WriteThrottled(const uint8_t* pData, size_t nLength);
    void WaitHostRead(uint32_t nRealMs);
    void HangUp();
    void Pace(double* pdNextMs, size_t nBytes);
    // False when Stop was called during the sleep.
    bool SleepUnlessStopped(uint32_t nRealMs);
    int64_t ElapsedMs() const;

    SimSettings m_settings;
    mutable std::mutex m_mutex;  // guards m_core, m_strPtyPath, m_nRunsDone, m_bFinished, m_bStop, m_bUnplug
    std::condition_variable m_cvFinished;
    std::condition_variable m_cvStop;
    CDeviceCore m_core;
    CDeviceDeframer m_deframer;
    Platform::PtyHandle m_hPty = nullptr;
    std::string m_strPtyPath;
    bool m_bLinkMade = false;
    int m_nRunsDone = 0;
    bool m_bFinished = false;
    bool m_bStop = false;
    bool m_bUnplug = false;
    std::thread m_thread;
    int64_t m_nStartMs = 0;
    double m_dNextReadMs = 0;
    double m_dNextWriteMs = 0;
};

}  // namespace Sim
