#include <cstring>
#include <vector>

#include "serial/base_comm.h"

namespace {

void PutLe32(uint8_t* p, uint32_t dwValue)
{
    p[0] = static_cast<uint8_t>(dwValue);
    p[1] = static_cast<uint8_t>(dwValue >> 8);
    p[2] = static_cast<uint8_t>(dwValue >> 16);
    p[3] = static_cast<uint8_t>(dwValue >> 24);
}

}  // namespace

// A command of the opcode followed by filler bytes.
void CBaseComm::SendFillerCmd(uint8_t byOpcode, uint32_t nPayloadSize, uint8_t byTag)
{
    m_wUnescapeMode = 1;
    uint8_t payload[CLOSE_USB_PAYLOAD_SIZE > RESET_PAYLOAD_SIZE ? CLOSE_USB_PAYLOAD_SIZE : RESET_PAYLOAD_SIZE];
    std::memset(payload, FILLER_BYTE, sizeof(payload));
    payload[0] = byOpcode;
    SendFrame(payload, nPayloadSize, byTag);
}

void CBaseComm::SendStartupCmd(uint8_t byTag)
{
    m_wUnescapeMode = 1;
    const uint8_t payload[STARTUP_PAYLOAD_SIZE] = {CMD_STARTUP};
    SendFrame(payload, sizeof(payload), byTag);
}

void CBaseComm::SendEraseCmd(uint32_t dwAddress, uint32_t dwLength, uint8_t byTag)
{
    m_wUnescapeMode = 1;
    uint8_t payload[ERASE_PAYLOAD_SIZE];
    std::memset(payload, FILLER_BYTE, sizeof(payload));
    payload[0] = CMD_ERASE;
    PutLe32(payload + 1, dwAddress);
    PutLe32(payload + 5, dwLength);
    SendFrame(payload, sizeof(payload), byTag);
}

void CBaseComm::SendWriteCmd(uint32_t dwAddress, uint16_t wDataLength, const uint8_t* pData, uint8_t byTag)
{
    m_wUnescapeMode = 1;
    std::vector<uint8_t> payload(WRITE_PAYLOAD_SIZE, 0);
    payload[0] = CMD_WRITE;
    PutLe32(payload.data() + 1, dwAddress);
    payload[5] = static_cast<uint8_t>(wDataLength);
    payload[6] = static_cast<uint8_t>(wDataLength >> 8);
    // The frame always carries a whole block, whatever the length field says.
    const size_t nCopy = wDataLength < WRITE_BLOCK_SIZE ? wDataLength : WRITE_BLOCK_SIZE;
    std::memcpy(payload.data() + WRITE_HEADER_SIZE, pData, nCopy);
    SendLargeFrame(payload.data(), WRITE_PAYLOAD_SIZE, byTag);
}

void CBaseComm::SendCloseUsbCmd(uint8_t byTag)
{
    SendFillerCmd(CMD_CLOSE_USB, CLOSE_USB_PAYLOAD_SIZE, byTag);
}

void CBaseComm::SendRebuildCmd(uint8_t byTag)
{
    m_wUnescapeMode = 1;
    const uint8_t payload[REBUILD_PAYLOAD_SIZE] = {CMD_REBUILD};
    SendFrame(payload, sizeof(payload), byTag);
}

void CBaseComm::SendResetCmd(uint8_t byTag)
{
    SendFillerCmd(CMD_RESET, RESET_PAYLOAD_SIZE, byTag);
}
