#pragma once
// What the device received and answered, one entry per frame.
#include <cstdint>
#include <string>

#include "sim/device_protocol.h"

namespace Sim {

struct TranscriptEntry {
    uint32_t nIndex = 0;          // 1, 2, ... over the simulator's life
    int64_t nTimeMs = 0;          // real milliseconds since the simulator started
    uint8_t byTag = 0;
    int nOpcode = -1;             // -1 when the frame had no payload
    CommandKind nKind = KIND_UNKNOWN;
    uint32_t dwAddress = 0;       // erase and write
    uint32_t dwLength = 0;        // erase: bytes; write: the length field
    uint32_t nPayloadLength = 0;
    bool bCrcOk = false;
    int nReplyStatus = -1;        // -1: no reply sent
    std::string strNote;          // why refused, which fault, "repeat", ...
};

// One line such as "   0.153  #3  tag 1  erase    addr 0x00300000  len 0x00300000  crc ok   -> 2".
std::string FormatTranscriptEntry(const TranscriptEntry& entry);

}  // namespace Sim
