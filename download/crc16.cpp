#include "download/crc16.h"

namespace {

constexpr std::array<uint16_t, 256> MakeTable()
{
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t wValue = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit) {
            wValue = (wValue & 1) ? static_cast<uint16_t>((wValue >> 1) ^ 0x8408) : static_cast<uint16_t>(wValue >> 1);
        }
        table[i] = wValue;
    }
    return table;
}

}  // namespace

const std::array<uint16_t, 256> CRC16_TABLE = MakeTable();

uint16_t Crc16Update(uint16_t wCrc, const uint8_t* pData, size_t nLength)
{
    for (size_t i = 0; i < nLength; ++i) {
        wCrc = static_cast<uint16_t>((wCrc >> 8) ^ CRC16_TABLE[(wCrc ^ pData[i]) & 0xFF]);
    }
    return wCrc;
}

uint16_t Crc16X25(const uint8_t* pData, size_t nLength)
{
    return Crc16Final(Crc16Update(CRC16_INIT, pData, nLength));
}
