#include "sim/transcript.h"

#include <cstdio>

namespace Sim {

std::string FormatTranscriptEntry(const TranscriptEntry& entry)
{
    char szLine[256];
    int nLen = std::snprintf(szLine, sizeof(szLine), "%8.3f  #%-5u tag %u  %-8s", entry.nTimeMs / 1000.0,
                             entry.nIndex, entry.byTag, entry.nOpcode < 0 ? "-" : CommandKindName(entry.nKind));
    std::string strLine(szLine, static_cast<size_t>(nLen));
    if (entry.nKind == KIND_ERASE || entry.nKind == KIND_WRITE) {
        std::snprintf(szLine, sizeof(szLine), " addr 0x%08X  len 0x%08X", entry.dwAddress, entry.dwLength);
        strLine += szLine;
    } else if (entry.nKind == KIND_UNKNOWN && entry.nOpcode >= 0) {
        std::snprintf(szLine, sizeof(szLine), " opcode 0x%02X  %u bytes", entry.nOpcode, entry.nPayloadLength);
        strLine += szLine;
    }
    strLine += entry.bCrcOk ? "  crc ok " : "  crc BAD";
    if (entry.nReplyStatus >= 0) {
        strLine += "  -> " + std::to_string(entry.nReplyStatus);
    } else {
        strLine += "  -> none";
    }
    if (!entry.strNote.empty()) {
        strLine += "  (" + entry.strNote + ")";
    }
    return strLine;
}

}  // namespace Sim
