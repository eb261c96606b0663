#include <cstring>

#include "download/frame_codec.h"
#include "platform/clock.h"
#include "platform/named_event.h"
#include "serial/base_comm.h"

void CBaseComm::OnReceiveChunk(const uint8_t* pChunk)
{
    const int32_t c = m_nRxLength;
    if (m_nRxPos >= static_cast<int32_t>(RX_OVERFLOW_LIMIT)) {
        m_nRxPos = 0;
        return;
    }
    if (c <= 0) {
        return;
    }
    // A chunk that does not fit behind the accumulated bytes is an overflow: drop both.
    if (static_cast<int64_t>(m_nRxPos) + c > static_cast<int64_t>(RX_BUFFER_SIZE)) {
        m_nRxPos = 0;
        return;
    }
    std::memcpy(m_RxAccum + m_nRxPos, pChunk, static_cast<size_t>(c));
    Platform::SleepMs(1);

    const int32_t nEnd = m_nRxPos + c;
    const bool bLastIsFlag = m_RxAccum[nEnd - 1] == FRAME_FLAG;
    const bool bBeforeLastIsFlag = nEnd >= 2 && m_RxAccum[nEnd - 2] == FRAME_FLAG;
    if (!bLastIsFlag && !bBeforeLastIsFlag) {
        m_nRxPos = nEnd;
        m_nRxLength = 0;
        return;
    }
    if (c == 1) {
        return;  // a lone flag never completes a frame; the next chunk is copied over it
    }

    std::memset(m_RxFrame, 0, sizeof(m_RxFrame));
    int32_t nFrame = 0;
    for (int32_t i = 0; i < nEnd; ++i) {
        const uint8_t by = m_RxAccum[i];
        if (by == FRAME_FLAG || (i == 0 && by == FRAME_NOISE_BYTE)) {
            continue;
        }
        m_RxFrame[nFrame++] = by;
    }
    std::memset(m_RxAccum, 0, sizeof(m_RxAccum));
    m_nRxLength = nFrame;
    m_nRxPos = 0;

    Platform::EventHandle hEvent = Platform::OpenEventObject(m_szReceiveEventName);
    UnescapeFrame();
    if (!m_bShortReply) {
        Platform::SetEventObject(hEvent);
    }
    Platform::CloseEventObject(hEvent);
}

void CBaseComm::UnescapeFrame()
{
    const int32_t nFrame = m_nRxLength;
    if (m_wUnescapeMode == 0 && nFrame < RX_SHORT_FRAME) {
        m_bShortReply = 1;  // nothing was asked yet: too short to be a reply
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_replyMutex);
        m_nRxReplyLength = static_cast<int32_t>(UnescapeBytes(m_RxFrame, static_cast<size_t>(nFrame), m_RxReply));
    }
    m_bShortReply = 0;
}

int32_t CBaseComm::CopyReply(uint8_t* pOut)
{
    std::lock_guard<std::mutex> lock(m_replyMutex);
    // Exactly the reply just received: the rest of the buffer must not pass for part of it.
    int32_t nLength = m_nRxReplyLength;
    if (nLength < 0 || nLength > static_cast<int32_t>(RX_BUFFER_SIZE)) {
        nLength = 0;
    }
    std::memset(pOut, 0, RX_BUFFER_SIZE);
    std::memcpy(pOut, m_RxReply, static_cast<size_t>(nLength));
    return nLength;
}
