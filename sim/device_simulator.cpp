#include "sim/device_simulator.h"

#include <chrono>

#include "platform/clock.h"
#include "platform/pty.h"

namespace Sim {

namespace {

constexpr uint32_t POLL_REAL_MS = 20;
constexpr uint32_t WRITE_TIMEOUT_REAL_MS = 5000;
// How long the device waits for the host to take a reply before it goes on regardless.
constexpr uint32_t HOST_READ_WAIT_REAL_MS = 2000;
constexpr double PACE_CATCH_UP_REAL_MS = 50.0;
constexpr size_t READ_CHUNK = 4096;

void SleepRealMs(double dMs)
{
    if (dMs > 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(static_cast<int64_t>(dMs * 1000)));
    }
}

}  // namespace

CDeviceSimulator::CDeviceSimulator(SimSettings settings)
    : m_settings(std::move(settings))
{
    m_core.SetFaults(m_settings.faults);
    m_core.SetUnplugAfterWrites(m_settings.nUnplugAfterWrites);
}

CDeviceSimulator::~CDeviceSimulator()
{
    Stop();
}

std::string CDeviceSimulator::Start()
{
    if (m_thread.joinable()) {
        return GetPtyPath();
    }
    m_nStartMs = Platform::MonotonicMs();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = false;
        m_bUnplug = false;
        m_bFinished = false;
        m_nRunsDone = 0;
    }
    if (!OpenSession()) {
        return std::string();
    }
    m_thread = std::thread([this] { Run(); });
    return GetPtyPath();
}

void CDeviceSimulator::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
        m_cvStop.notify_all();
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
    if (m_hPty) {
        Platform::ClosePty(m_hPty);
        m_hPty = nullptr;
    }
    if (m_bLinkMade) {
        Platform::RemoveSymlink(m_settings.strLinkPath);
        m_bLinkMade = false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bFinished = true;
    m_cvFinished.notify_all();
}

bool CDeviceSimulator::OpenSession()
{
    Platform::PtyHandle hPty = Platform::OpenPty();
    if (!hPty) {
        return false;
    }
    const std::string strPath = Platform::GetPtySlavePath(hPty);
    if (!m_settings.strLinkPath.empty()) {
        if (!Platform::CreateSymlink(strPath, m_settings.strLinkPath)) {
            Platform::ClosePty(hPty);
            return false;
        }
        m_bLinkMade = true;
    }
    m_hPty = hPty;
    m_deframer = CDeviceDeframer();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_strPtyPath = strPath;
    return true;
}

void CDeviceSimulator::Run()
{
    std::vector<uint8_t> buffer(READ_CHUNK);
    std::vector<HostFrame> frames;
    for (;;) {
        bool bUnplug = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_bStop) {
                return;
            }
            bUnplug = m_bUnplug;
            m_bUnplug = false;
        }
        if (bUnplug) {
            HangUp();
            if (IsFinished()) {
                return;
            }
            continue;
        }
        Platform::PtyWaitResult nWait = Platform::WaitPtyData(m_hPty, POLL_REAL_MS);
        if (nWait == Platform::PTY_WAIT_TIMEOUT) {
            continue;
        }
        size_t nLimit = READ_CHUNK;
        if (m_settings.nThrottleBytesPerSecond) {
            // About 20 ms worth at a time, so that the host's writes are held back by the full pty.
            nLimit = m_settings.nThrottleBytesPerSecond / 50;
            nLimit = nLimit < 1 ? 1 : (nLimit > READ_CHUNK ? READ_CHUNK : nLimit);
        }
        int nRead = nWait == Platform::PTY_WAIT_DATA ? Platform::ReadPty(m_hPty, buffer.data(), nLimit) : -1;
        if (nRead < 0) {
            // The pty itself broke: nothing more this device can do.
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bFinished = true;
            m_cvFinished.notify_all();
            return;
        }
        if (nRead == 0) {
            continue;
        }
        Pace(&m_dNextReadMs, static_cast<size_t>(nRead));
        frames.clear();
        m_deframer.Push(buffer.data(), static_cast<size_t>(nRead), &frames);
        for (const HostFrame& frame : frames) {
            DeviceAction action;
            TranscriptEntry entry;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                action = m_core.HandleFrame(frame, ElapsedMs());
                entry = m_core.GetTranscript().back();
            }
            if (m_settings.fnOnEntry) {
                m_settings.fnOnEntry(entry);
            }
            Reply(action);
            if (action.bHangUp) {
                HangUp();
                break;  // bytes after the last command went to a device that no longer listens
            }
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bFinished) {
            return;
        }
    }
}

void CDeviceSimulator::Reply(const DeviceAction& action)
{
    if (action.chunks.empty()) {
        return;
    }
    const uint32_t nWaitMs = m_settings.nLatencyMs + action.nDelayMs;
    if (nWaitMs && !SleepUnlessStopped(Platform::ScaledMs(nWaitMs))) {
        return;
    }
    for (size_t i = 0; i < action.chunks.size(); ++i) {
        if (i > 0) {
            // Each piece must reach the host as a read of its own.
            WaitHostRead(HOST_READ_WAIT_REAL_MS);
            SleepRealMs(m_settings.nChunkGapRealMs);
        }
        WriteThrottled(action.chunks[i].data(), action.chunks[i].size());
    }
}

void CDeviceSimulator::WriteThrottled(const uint8_t* pData, size_t nLength)
{
    if (!m_settings.nThrottleBytesPerSecond) {
        Platform::WritePty(m_hPty, pData, nLength, WRITE_TIMEOUT_REAL_MS);
        return;
    }
    size_t nPiece = m_settings.nThrottleBytesPerSecond / 50;
    nPiece = nPiece < 1 ? 1 : nPiece;
    for (size_t nDone = 0; nDone < nLength;) {
        const size_t n = nLength - nDone < nPiece ? nLength - nDone : nPiece;
        Pace(&m_dNextWriteMs, n);
        if (!Platform::WritePty(m_hPty, pData + nDone, n, WRITE_TIMEOUT_REAL_MS)) {
            return;
        }
        nDone += n;
    }
}

void CDeviceSimulator::Pace(double* pdNextMs, size_t nBytes)
{
    if (!m_settings.nThrottleBytesPerSecond) {
        return;
    }
    // A piece that went out late is made up by the next ones, so a busy machine still gets the rate it
    // asked for; a link that was idle for longer than a moment starts its schedule afresh.
    const double dNow = static_cast<double>(Platform::MonotonicMs());
    if (*pdNextMs < dNow - PACE_CATCH_UP_REAL_MS) {
        *pdNextMs = dNow;
    }
    *pdNextMs += static_cast<double>(nBytes) * 1000.0 / m_settings.nThrottleBytesPerSecond * Platform::GetTimeScale();
    SleepRealMs(*pdNextMs - dNow);
}

void CDeviceSimulator::WaitHostRead(uint32_t nRealMs)
{
    // Written bytes reach the host's queue a moment after the write; then wait for the queue to empty.
    SleepRealMs(2);
    const int64_t nDeadline = Platform::MonotonicMs() + nRealMs;
    while (Platform::GetPtyUnreadBytes(m_hPty) != 0 && Platform::MonotonicMs() < nDeadline) {
        SleepRealMs(1);
    }
}

void CDeviceSimulator::HangUp()
{
    // Closing the pty drops what the host has not read; a device that reboots has sent its reply first.
    WaitHostRead(HOST_READ_WAIT_REAL_MS);
    if (m_settings.nRebootMs) {
        SleepUnlessStopped(Platform::ScaledMs(m_settings.nRebootMs));
    }
    Platform::ClosePty(m_hPty);
    m_hPty = nullptr;
    bool bMore = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_nRunsDone;
        bMore = !m_bStop && (m_settings.nRuns <= 0 || m_nRunsDone < m_settings.nRuns);
        if (bMore) {
            m_core.Reboot();
        }
    }
    if (bMore && OpenSession()) {
        if (m_settings.fnOnNewPty) {
            m_settings.fnOnNewPty(GetPtyPath());
        }
        return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bFinished = true;
    m_cvFinished.notify_all();
}

bool CDeviceSimulator::SleepUnlessStopped(uint32_t nRealMs)
{
    // Long fault delays must not hold up Stop.
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_cvStop.wait_for(lock, std::chrono::milliseconds(nRealMs), [this] { return m_bStop; });
}

int64_t CDeviceSimulator::ElapsedMs() const
{
    return Platform::MonotonicMs() - m_nStartMs;
}

void CDeviceSimulator::Unplug()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bUnplug = true;
}

bool CDeviceSimulator::WaitFinished(uint32_t nRealMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cvFinished.wait_for(lock, std::chrono::milliseconds(nRealMs), [this] { return m_bFinished; });
}

bool CDeviceSimulator::IsFinished() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bFinished;
}

std::string CDeviceSimulator::GetPtyPath() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_strPtyPath;
}

int CDeviceSimulator::GetRunsDone() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nRunsDone;
}

void CDeviceSimulator::SetFaults(const std::vector<FaultRule>& faults)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_core.SetFaults(faults);
}

SessionState CDeviceSimulator::GetState() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_core.GetState();
}

std::vector<TranscriptEntry> CDeviceSimulator::GetTranscript() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_core.GetTranscript();
}

std::string CDeviceSimulator::FormatTranscript() const
{
    std::string strText;
    for (const TranscriptEntry& entry : GetTranscript()) {
        strText += FormatTranscriptEntry(entry) + "\n";
    }
    return strText;
}

std::vector<uint8_t> CDeviceSimulator::ReadFlash(uint32_t dwAddress, uint32_t dwLength) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (dwAddress >= FLASH_SIZE) {
        return {};
    }
    const uint32_t dwEnd = dwLength > FLASH_SIZE - dwAddress ? FLASH_SIZE : dwAddress + dwLength;
    const uint8_t* pData = m_core.GetFlash().Data();
    return std::vector<uint8_t>(pData + dwAddress, pData + dwEnd);
}

FlashUnitState CDeviceSimulator::GetUnit(uint32_t dwAddress) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return dwAddress < FLASH_SIZE ? m_core.GetFlash().Unit(dwAddress / FLASH_UNIT) : FlashUnitState{};
}

VerifyReport CDeviceSimulator::Verify(const uint8_t* pContainer, size_t nSize) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return VerifyFlash(m_core.GetFlash(), pContainer, nSize);
}

}  // namespace Sim
