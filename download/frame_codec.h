#pragma once
// The byte-level frame: 7E, tag, escaped payload, escaped CRC (low byte first), 7E.
// Pure functions over bytes; the port object uses them to send and to decode.
#include <cstddef>
#include <cstdint>

struct EscapedByte {
    uint8_t byValue;   // the byte to emit (after the 0x7D when bEscape is set)
    bool bEscape;      // a 0x7D goes in front
};

// 0x7D..0x7F travel as 0x7D, byte ^ 0x20; every other byte unchanged.
EscapedByte EscapeByte(uint8_t byValue);

// Builds the frame for the payload into pFrame, which must hold 2 x nLength + 7 bytes; returns its length.
size_t BuildFrame(const uint8_t* pPayload, size_t nLength, uint8_t byTag, uint8_t* pFrame);

// How a large frame of nFrameLength bytes is written: nFullPieces writes of 4096 bytes, then one write of
// nLastPiece bytes (made even when empty). bSend is false for frames of 32768 bytes or more.
struct LargeFramePlan {
    bool bSend;
    int nFullPieces;
    size_t nLastPiece;
};
LargeFramePlan PlanLargeFrame(size_t nFrameLength);

// Removes escapes: 0x7D is dropped and the next byte emitted ^ 0x20. A 0x7D in the last position yields
// nothing. Returns the decoded length (never more than nLength).
size_t UnescapeBytes(const uint8_t* pIn, size_t nLength, uint8_t* pOut);
