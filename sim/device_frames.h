#pragma once
// The device's side of the wire: host frames in, reply frames out.
// Host frame: 7E, tag, escaped payload, escaped CRC-16/X-25 of the payload (low byte first), 7E.
// Reply frame: the same shape with the one-byte payload holding the status.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Sim {

constexpr uint8_t FRAME_FLAG = 0x7E;
constexpr uint8_t FRAME_ESCAPE = 0x7D;
constexpr uint8_t FRAME_ESCAPE_XOR = 0x20;
// The largest payload a host sends (the write command) plus its CRC; anything longer is noise.
constexpr size_t MAX_FRAME_BODY = 16391 + 2;

struct HostFrame {
    uint8_t byTag = 0;
    std::vector<uint8_t> payload;  // un-escaped, without the CRC
    bool bCrcOk = false;
    bool bMalformed = false;  // aborted (7D 7E), too long, or shorter than opcode plus CRC
    size_t nWireLength = 0;   // bytes from the opening flag to the closing flag, both included
};

// Turns the byte stream from the host into frames. Keeps any amount of state between calls, so a frame
// may arrive in pieces of any size; never fails.
//
// A frame has no shared flags: the host closes one with 7E and opens the next with another 7E. Since a
// host tag is never 7E, a flag right after a flag is taken as an opening flag (empty frames are skipped).
// When a frame ends and the next byte is not a flag, the flag just seen was in truth an opening one (a
// frame before it was cut short), and that byte is taken as the tag: this way a lost byte costs one frame,
// not all that follow.
class CDeviceDeframer {
public:
    // Appends the frames completed by these bytes to pFrames.
    void Push(const uint8_t* pData, size_t nLength, std::vector<HostFrame>* pFrames);
    // Bytes skipped while looking for a frame start, for the transcript.
    uint64_t GetSkippedBytes() const { return m_nSkipped; }

private:
    enum State { STATE_HUNT, STATE_TAG, STATE_BODY };
    void Finish(std::vector<HostFrame>* pFrames);

    State m_nState = STATE_HUNT;
    bool m_bEscape = false;
    bool m_bAborted = false;
    bool m_bOverlong = false;
    uint8_t m_byTag = 0;
    std::vector<uint8_t> m_body;
    size_t m_nWire = 0;
    uint64_t m_nSkipped = 0;
};

// The wire bytes of a reply: 7E, tag, status, CRC low, CRC high, 7E, with status and CRC escaped.
// bBadCrc sends a CRC that does not match the status.
std::vector<uint8_t> BuildReplyFrame(uint8_t byTag, uint8_t byStatus, bool bBadCrc);

}  // namespace Sim
