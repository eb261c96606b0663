#include "sim/device_frames.h"

#include "download/crc16.h"

namespace Sim {

void CDeviceDeframer::Push(const uint8_t* pData, size_t nLength, std::vector<HostFrame>* pFrames)
{
    for (size_t i = 0; i < nLength; ++i) {
        const uint8_t byByte = pData[i];
        switch (m_nState) {
        case STATE_HUNT:
            if (byByte == FRAME_FLAG) {
                m_nState = STATE_TAG;
            } else {
                ++m_nSkipped;
            }
            break;
        case STATE_TAG:
            if (byByte == FRAME_FLAG) {
                m_nState = STATE_TAG;
                break;
            }
            m_byTag = byByte;
            m_body.clear();
            m_bEscape = false;
            m_bAborted = false;
            m_bOverlong = false;
            m_nWire = 2;
            m_nState = STATE_BODY;
            break;
        case STATE_BODY:
            ++m_nWire;
            if (byByte == FRAME_FLAG) {
                if (m_bEscape) {
                    m_bAborted = true;  // 7D 7E: the host gave up on this frame
                }
                Finish(pFrames);
                m_nState = STATE_TAG;
                break;
            }
            if (m_bOverlong) {
                break;
            }
            if (m_bEscape) {
                m_body.push_back(byByte ^ FRAME_ESCAPE_XOR);
                m_bEscape = false;
            } else if (byByte == FRAME_ESCAPE) {
                m_bEscape = true;
            } else {
                m_body.push_back(byByte);
            }
            if (m_body.size() > MAX_FRAME_BODY) {
                m_bOverlong = true;
                m_body.clear();
            }
            break;
        }
    }
}

void CDeviceDeframer::Finish(std::vector<HostFrame>* pFrames)
{
    HostFrame frame;
    frame.byTag = m_byTag;
    frame.nWireLength = m_nWire + 1;  // the opening flag
    if (m_bAborted || m_bOverlong || m_body.size() < 3) {
        frame.bMalformed = true;
        frame.payload = std::move(m_body);
    } else {
        const size_t nPayload = m_body.size() - 2;
        const uint16_t wSent = static_cast<uint16_t>(m_body[nPayload] | (m_body[nPayload + 1] << 8));
        frame.bCrcOk = Crc16X25(m_body.data(), nPayload) == wSent;
        m_body.resize(nPayload);
        frame.payload = std::move(m_body);
    }
    m_body = {};
    pFrames->push_back(std::move(frame));
}

namespace {

void AppendEscaped(std::vector<uint8_t>* pOut, uint8_t byByte)
{
    if (byByte >= FRAME_ESCAPE && byByte <= 0x7F) {
        pOut->push_back(FRAME_ESCAPE);
        pOut->push_back(byByte ^ FRAME_ESCAPE_XOR);
    } else {
        pOut->push_back(byByte);
    }
}

}  // namespace

std::vector<uint8_t> BuildReplyFrame(uint8_t byTag, uint8_t byStatus, bool bBadCrc)
{
    uint16_t wCrc = Crc16X25(&byStatus, 1);
    if (bBadCrc) {
        wCrc ^= 0x5AA5;  // changes both bytes
    }
    std::vector<uint8_t> frame{FRAME_FLAG, byTag};
    AppendEscaped(&frame, byStatus);
    AppendEscaped(&frame, static_cast<uint8_t>(wCrc & 0xFF));
    AppendEscaped(&frame, static_cast<uint8_t>(wCrc >> 8));
    frame.push_back(FRAME_FLAG);
    return frame;
}

}  // namespace Sim
