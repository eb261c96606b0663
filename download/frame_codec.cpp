#include "download/frame_codec.h"

#include "download/crc16.h"
#include "download/protocol.h"

EscapedByte EscapeByte(uint8_t byValue)
{
    if (byValue >= FRAME_ESCAPE && byValue <= FRAME_NOISE_BYTE) {
        return {static_cast<uint8_t>(byValue ^ FRAME_ESCAPE_XOR), true};
    }
    return {byValue, false};
}

namespace {

size_t AppendEscaped(uint8_t* pFrame, size_t nPos, uint8_t byValue)
{
    const EscapedByte esc = EscapeByte(byValue);
    if (esc.bEscape) {
        pFrame[nPos++] = FRAME_ESCAPE;
    }
    pFrame[nPos++] = esc.byValue;
    return nPos;
}

}  // namespace

size_t BuildFrame(const uint8_t* pPayload, size_t nLength, uint8_t byTag, uint8_t* pFrame)
{
    size_t nPos = 0;
    pFrame[nPos++] = FRAME_FLAG;
    pFrame[nPos++] = byTag;  // the tag is never escaped and not covered by the CRC
    for (size_t i = 0; i < nLength; ++i) {
        nPos = AppendEscaped(pFrame, nPos, pPayload[i]);
    }
    const uint16_t wCrc = Crc16X25(pPayload, nLength);
    nPos = AppendEscaped(pFrame, nPos, static_cast<uint8_t>(wCrc & 0xFF));
    nPos = AppendEscaped(pFrame, nPos, static_cast<uint8_t>(wCrc >> 8));
    pFrame[nPos++] = FRAME_FLAG;
    return nPos;
}

LargeFramePlan PlanLargeFrame(size_t nFrameLength)
{
    if (nFrameLength >= FRAME_MAX_LARGE) {
        return {false, 0, 0};
    }
    int nFull = 4;
    if (nFrameLength >= 0x7000) {
        nFull = 7;
    } else if (nFrameLength >= 0x6000) {
        nFull = 6;
    } else if (nFrameLength >= 0x5000) {
        nFull = 5;
    }
    const size_t nFullBytes = static_cast<size_t>(nFull) * FRAME_WRITE_PIECE;
    // The write-data frame is always longer than four pieces; anything shorter is sent whole.
    if (nFrameLength < nFullBytes) {
        return {true, 0, nFrameLength};
    }
    return {true, nFull, nFrameLength - nFullBytes};
}

size_t UnescapeBytes(const uint8_t* pIn, size_t nLength, uint8_t* pOut)
{
    size_t nOut = 0;
    for (size_t i = 0; i < nLength; ++i) {
        if (pIn[i] == FRAME_ESCAPE) {
            if (i + 1 >= nLength) {
                break;  // a dangling escape at the very end carries no byte
            }
            pOut[nOut++] = static_cast<uint8_t>(pIn[++i] ^ FRAME_ESCAPE_XOR);
        } else {
            pOut[nOut++] = pIn[i];
        }
    }
    return nOut;
}
