#include "sim/device_core.h"

namespace Sim {

namespace {

uint32_t ReadLe32(const std::vector<uint8_t>& data, size_t nAt)
{
    return static_cast<uint32_t>(data[nAt]) | static_cast<uint32_t>(data[nAt + 1]) << 8 |
           static_cast<uint32_t>(data[nAt + 2]) << 16 | static_cast<uint32_t>(data[nAt + 3]) << 24;
}

void AddNote(TranscriptEntry* pEntry, const std::string& strNote)
{
    if (!pEntry->strNote.empty()) {
        pEntry->strNote += "; ";
    }
    pEntry->strNote += strNote;
}

}  // namespace

void CDeviceCore::Reboot()
{
    m_nState = SESSION_POWERED;
    m_bHaveLast = false;
    m_lastPayload.clear();
}

CommandKind CDeviceCore::Classify(const HostFrame& frame) const
{
    if (frame.payload.empty()) {
        return KIND_UNKNOWN;
    }
    switch (frame.payload[0]) {
    case OP_STARTUP:
        return m_nState == SESSION_CLOSED || m_nState == SESSION_UNLOCKED ? KIND_UNLOCK : KIND_STARTUP;
    case OP_ERASE:
        return KIND_ERASE;
    case OP_WRITE:
        return KIND_WRITE;
    case OP_CLOSE_USB:
        return KIND_CLOSE;
    case OP_REBUILD:
        return KIND_REBUILD;
    case OP_RESET:
        return KIND_RESET;
    default:
        return KIND_UNKNOWN;
    }
}

DeviceAction CDeviceCore::HandleFrame(const HostFrame& frame, int64_t nTimeMs)
{
    DeviceAction action;
    TranscriptEntry entry;
    entry.nIndex = static_cast<uint32_t>(m_transcript.size() + 1);
    entry.nTimeMs = nTimeMs;
    entry.byTag = frame.byTag;
    entry.nOpcode = frame.payload.empty() ? -1 : frame.payload[0];
    entry.nPayloadLength = static_cast<uint32_t>(frame.payload.size());
    entry.bCrcOk = frame.bCrcOk;
    entry.nKind = Classify(frame);
    if (entry.nKind == KIND_ERASE && frame.payload.size() >= 9) {
        entry.dwAddress = ReadLe32(frame.payload, 1);
        entry.dwLength = ReadLe32(frame.payload, 5);
    } else if (entry.nKind == KIND_WRITE && frame.payload.size() >= 7) {
        entry.dwAddress = ReadLe32(frame.payload, 1);
        entry.dwLength = static_cast<uint32_t>(frame.payload[5] | frame.payload[6] << 8);
    }

    if (frame.bMalformed || !frame.bCrcOk) {
        // Not answered: a reply the host did not ask for would be taken as the answer to its next command.
        entry.strNote = frame.bMalformed ? "malformed frame, dropped" : "CRC mismatch, dropped";
        m_transcript.push_back(entry);
        return action;
    }

    bool bDrop = false;
    int nForcedStatus = -1;
    bool bBadCrc = false;
    for (FaultRule& rule : m_faults) {
        if (rule.nFault > FAULT_BAD_CRC || (rule.nCommand != KIND_ANY && rule.nCommand != entry.nKind)) {
            continue;
        }
        if (!rule.Fire()) {
            continue;
        }
        switch (rule.nFault) {
        case FAULT_NO_REPLY:
            bDrop = true;
            break;
        case FAULT_STATUS:
            if (nForcedStatus < 0) {
                nForcedStatus = static_cast<int>(rule.nValue);
            }
            break;
        case FAULT_DELAY:
            action.nDelayMs += rule.nValue;
            break;
        default:
            bBadCrc = true;
            break;
        }
    }

    if (bDrop) {
        entry.strNote = "fault: no reply";
        m_transcript.push_back(entry);
        return action;
    }
    uint8_t byStatus = 0;
    if (nForcedStatus >= 0) {
        byStatus = static_cast<uint8_t>(nForcedStatus);
        entry.strNote = "fault: status " + std::to_string(nForcedStatus) + ", not carried out";
    } else if (m_bHaveLast && frame.byTag == m_byLastTag && frame.payload == m_lastPayload) {
        byStatus = STATUS_OK;
        entry.strNote = "repeat, answered again";
    } else {
        byStatus = Execute(frame, entry.nKind, &entry, &action.bHangUp);
        if (byStatus == STATUS_OK) {
            m_bHaveLast = true;
            m_byLastTag = frame.byTag;
            m_lastPayload = frame.payload;
        }
    }
    if (action.nDelayMs) {
        AddNote(&entry, "fault: " + std::to_string(action.nDelayMs) + " ms late");
    }
    ShapeReply(frame.byTag, byStatus, bBadCrc, &action, &entry);
    if (action.bHangUp) {
        AddNote(&entry, "hang-up");
    }
    m_transcript.push_back(entry);
    return action;
}

uint8_t CDeviceCore::Execute(const HostFrame& frame, CommandKind nKind, TranscriptEntry* pEntry, bool* pbHangUp)
{
    const size_t nSize = frame.payload.size();
    auto refuse = [&](uint8_t byStatus, const char* pszWhy) {
        AddNote(pEntry, pszWhy);
        return byStatus;
    };
    switch (nKind) {
    case KIND_STARTUP:
        if (nSize != STARTUP_PAYLOAD) {
            return refuse(STATUS_BAD_LENGTH, "startup: payload is not 1 byte");
        }
        if (m_nState != SESSION_POWERED && m_nState != SESSION_OPEN) {
            return refuse(STATUS_OUT_OF_ORDER, "startup after rebuild");
        }
        m_nState = SESSION_OPEN;
        return STATUS_OK;
    case KIND_UNLOCK:
        if (nSize != STARTUP_PAYLOAD) {
            return refuse(STATUS_BAD_LENGTH, "unlock: payload is not 1 byte");
        }
        m_nState = SESSION_UNLOCKED;
        return STATUS_OK;
    case KIND_ERASE:
        return ExecuteErase(frame, pEntry);
    case KIND_WRITE: {
        uint8_t byStatus = ExecuteWrite(frame, pEntry);
        if (byStatus == STATUS_OK && m_nUnplugAfter != 0 && m_nBlocksWritten == m_nUnplugAfter) {
            AddNote(pEntry, "fault: unplugged");
            *pbHangUp = true;
        }
        return byStatus;
    }
    case KIND_CLOSE:
        if (nSize != CLOSE_USB_PAYLOAD) {
            return refuse(STATUS_BAD_LENGTH, "close-USB: payload is not 5 bytes");
        }
        if (m_nState != SESSION_OPEN) {
            return refuse(STATUS_OUT_OF_ORDER, "close-USB outside a session");
        }
        m_nState = SESSION_CLOSED;
        return STATUS_OK;
    case KIND_REBUILD:
        if (nSize != REBUILD_PAYLOAD) {
            return refuse(STATUS_BAD_LENGTH, "rebuild: payload is not 1 byte");
        }
        if (m_nState != SESSION_UNLOCKED) {
            return refuse(STATUS_OUT_OF_ORDER, "rebuild before the unlock");
        }
        m_nState = SESSION_REBUILT;
        return STATUS_OK;
    case KIND_RESET:
        if (nSize != RESET_PAYLOAD) {
            return refuse(STATUS_BAD_LENGTH, "reset: payload is not 5 bytes");
        }
        if (m_nState != SESSION_CLOSED && m_nState != SESSION_REBUILT) {
            return refuse(STATUS_OUT_OF_ORDER, "reset before close-USB, or between unlock and rebuild");
        }
        m_nState = SESSION_GONE;
        *pbHangUp = true;
        return STATUS_OK;
    default:
        return refuse(STATUS_UNKNOWN_COMMAND, "unknown opcode");
    }
}

uint8_t CDeviceCore::ExecuteErase(const HostFrame& frame, TranscriptEntry* pEntry)
{
    if (frame.payload.size() != ERASE_PAYLOAD) {
        AddNote(pEntry, "erase: payload is not 11 bytes");
        return STATUS_BAD_LENGTH;
    }
    if (m_nState != SESSION_OPEN) {
        AddNote(pEntry, "erase outside a session");
        return STATUS_OUT_OF_ORDER;
    }
    const uint32_t dwAddress = pEntry->dwAddress;
    const uint32_t dwLength = pEntry->dwLength;
    if (dwAddress % FLASH_UNIT != 0 || dwLength % FLASH_UNIT != 0) {
        AddNote(pEntry, "erase range not on 16 KiB units");
        return STATUS_MISALIGNED;
    }
    if (!m_flash.Erase(dwAddress, dwLength)) {
        AddNote(pEntry, "erase range beyond the flash");
        return STATUS_OUT_OF_RANGE;
    }
    return STATUS_OK;
}

uint8_t CDeviceCore::ExecuteWrite(const HostFrame& frame, TranscriptEntry* pEntry)
{
    if (frame.payload.size() != WRITE_PAYLOAD || pEntry->dwLength != WRITE_DATA_LENGTH) {
        AddNote(pEntry, "write: payload is not 16391 bytes with length field 0x4000");
        return STATUS_BAD_LENGTH;
    }
    if (m_nState != SESSION_OPEN) {
        AddNote(pEntry, "write outside a session");
        return STATUS_OUT_OF_ORDER;
    }
    const uint32_t dwAddress = pEntry->dwAddress;
    if (dwAddress % FLASH_UNIT != 0) {
        AddNote(pEntry, "write address not on a 16 KiB unit");
        return STATUS_MISALIGNED;
    }
    if (dwAddress >= FLASH_SIZE) {
        AddNote(pEntry, "write address beyond the flash");
        return STATUS_OUT_OF_RANGE;
    }
    const FlashUnitState& unit = m_flash.Unit(dwAddress / FLASH_UNIT);
    if (!m_flash.Program(dwAddress, frame.payload.data() + 7)) {
        AddNote(pEntry, unit.nProgramCount ? "unit already programmed since its erase" : "unit never erased");
        return STATUS_NOT_ERASED;
    }
    ++m_nBlocksWritten;
    return STATUS_OK;
}

void CDeviceCore::ShapeReply(uint8_t byTag, uint8_t byStatus, bool bBadCrc, DeviceAction* pAction,
                             TranscriptEntry* pEntry)
{
    pEntry->nReplyStatus = byStatus;
    if (bBadCrc) {
        AddNote(pEntry, "fault: bad CRC");
    }
    std::vector<uint8_t> reply = BuildReplyFrame(byTag, byStatus, bBadCrc);
    std::vector<uint8_t> garbage;
    bool bSplit = false;
    for (FaultRule& rule : m_faults) {
        if (rule.nFault != FAULT_SPLIT && rule.nFault != FAULT_GARBAGE) {
            continue;
        }
        if (!rule.Fire()) {
            continue;
        }
        if (rule.nFault == FAULT_GARBAGE) {
            garbage.insert(garbage.end(), rule.garbage.begin(), rule.garbage.end());
            AddNote(pEntry, "fault: garbage after reply");
            continue;
        }
        if (bSplit) {
            continue;  // one shape per reply: the first rule that fires
        }
        bSplit = true;
        switch (rule.nSplit) {
        case SPLIT_TRAILING_FLAG:
            pAction->chunks.emplace_back(reply.begin(), reply.end() - 1);
            pAction->chunks.push_back({FRAME_FLAG});
            AddNote(pEntry, "fault: split, lone trailing flag");
            break;
        case SPLIT_AFTER_TAG:
            pAction->chunks.emplace_back(reply.begin(), reply.begin() + 2);
            pAction->chunks.emplace_back(reply.begin() + 2, reply.end());
            AddNote(pEntry, "fault: split after the tag");
            break;
        case SPLIT_EXTRA_BYTE:
            reply.push_back(static_cast<uint8_t>(rule.nValue));
            pAction->chunks.push_back(reply);
            AddNote(pEntry, "fault: extra byte after the closing flag");
            break;
        case SPLIT_LEADING_7F:
            reply.insert(reply.begin(), 0x7F);
            pAction->chunks.push_back(reply);
            AddNote(pEntry, "fault: leading 0x7F");
            break;
        }
    }
    if (!bSplit) {
        pAction->chunks.push_back(reply);
    }
    if (!garbage.empty()) {
        pAction->chunks.push_back(garbage);
    }
}

}  // namespace Sim
