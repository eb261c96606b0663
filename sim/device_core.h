#pragma once
// The device without its wire: takes complete host frames, keeps the session and the flash, applies the
// requested faults and says what to send back. Pure and single-threaded; the simulator adds the pty.
//
// Session: startup opens it (again: still open); erase and write only while open; close-USB ends it; then
// either reset, or the unlock (startup), rebuild and reset, in that order. The reset is answered and the
// device goes away. A frame identical to the last one carried out (same tag, same payload) is a resend after
// a lost or late reply: it is answered again but not carried out twice. Frames with a wrong CRC, aborted or
// shorter than opcode plus CRC are recorded and not answered.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/device_frames.h"
#include "sim/device_protocol.h"
#include "sim/fault_plan.h"
#include "sim/flash_model.h"
#include "sim/transcript.h"

namespace Sim {

struct DeviceAction {
    // The pieces to write, in order, each as a write of its own with a pause between; empty: no reply.
    std::vector<std::vector<uint8_t>> chunks;
    uint32_t nDelayMs = 0;  // device milliseconds before the reply
    bool bHangUp = false;   // after the reply the device goes away
};

class CDeviceCore {
public:
    CDeviceCore() = default;

    void SetFaults(const std::vector<FaultRule>& faults) { m_faults = faults; }
    // 0: never. Otherwise the device goes away right after answering its nBlocks-th written block.
    void SetUnplugAfterWrites(uint32_t nBlocks) { m_nUnplugAfter = nBlocks; }

    // Handles one frame; the transcript entry gets nTimeMs.
    DeviceAction HandleFrame(const HostFrame& frame, int64_t nTimeMs);
    // A power cycle: a fresh session, the flash keeps its content. Fault counters keep counting.
    void Reboot();

    SessionState GetState() const { return m_nState; }
    const CFlashModel& GetFlash() const { return m_flash; }
    CFlashModel& GetFlash() { return m_flash; }
    const std::vector<TranscriptEntry>& GetTranscript() const { return m_transcript; }
    uint32_t GetBlocksWritten() const { return m_nBlocksWritten; }

private:
    CommandKind Classify(const HostFrame& frame) const;
    uint8_t Execute(const HostFrame& frame, CommandKind nKind, TranscriptEntry* pEntry, bool* pbHangUp);
    uint8_t ExecuteErase(const HostFrame& frame, TranscriptEntry* pEntry);
    uint8_t ExecuteWrite(const HostFrame& frame, TranscriptEntry* pEntry);
    void ShapeReply(uint8_t byTag, uint8_t byStatus, bool bBadCrc, DeviceAction* pAction, TranscriptEntry* pEntry);

    CFlashModel m_flash;
    SessionState m_nState = SESSION_POWERED;
    std::vector<FaultRule> m_faults;
    uint32_t m_nUnplugAfter = 0;
    uint32_t m_nBlocksWritten = 0;
    std::vector<TranscriptEntry> m_transcript;
    // The last frame that was carried out, to answer a repeat (the host resends after a lost or late
    // reply, with the same tag) without doing it twice.
    bool m_bHaveLast = false;
    uint8_t m_byLastTag = 0;
    std::vector<uint8_t> m_lastPayload;
};

}  // namespace Sim
