#pragma once
// CRC-16/X-25, the HDLC frame check sequence that protects every frame payload.
#include <array>
#include <cstddef>
#include <cstdint>

// The 256-entry table for the reflected polynomial 0x8408.
extern const std::array<uint16_t, 256> CRC16_TABLE;

// Running register: start with CRC16_INIT, feed bytes, then complement (Crc16Final).
constexpr uint16_t CRC16_INIT = 0xFFFF;
uint16_t Crc16Update(uint16_t wCrc, const uint8_t* pData, size_t nLength);
inline uint16_t Crc16Final(uint16_t wCrc) { return static_cast<uint16_t>(wCrc ^ 0xFFFF); }

// The complete check value of a buffer, as it goes on the wire (low byte first).
uint16_t Crc16X25(const uint8_t* pData, size_t nLength);
