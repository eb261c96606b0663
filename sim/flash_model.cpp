#include "sim/flash_model.h"

#include <cstring>

namespace Sim {

uint8_t OldFirmwareByte(uint32_t dwAddress)
{
    // Mixes the unit number into the low byte so that no unit looks like another or like erased flash.
    return static_cast<uint8_t>(((dwAddress & 0xFF) ^ ((dwAddress >> 14) * 37) ^ 0x5C) & 0x7F);
}

CFlashModel::CFlashModel()
    : m_data(FLASH_SIZE), m_units(FLASH_UNITS)
{
    Reset();
}

void CFlashModel::Reset()
{
    // The pattern repeats every 256 bytes within a unit.
    uint8_t abRow[256];
    for (uint32_t dwUnit = 0; dwUnit < FLASH_UNITS; ++dwUnit) {
        const uint32_t dwBase = dwUnit * FLASH_UNIT;
        for (uint32_t i = 0; i < sizeof(abRow); ++i) {
            abRow[i] = OldFirmwareByte(dwBase + i);
        }
        for (uint32_t dwAt = 0; dwAt < FLASH_UNIT; dwAt += sizeof(abRow)) {
            std::memcpy(m_data.data() + dwBase + dwAt, abRow, sizeof(abRow));
        }
    }
    m_units.assign(FLASH_UNITS, FlashUnitState{});
}

bool CFlashModel::Erase(uint32_t dwAddress, uint32_t dwLength)
{
    if (dwAddress % FLASH_UNIT != 0 || dwLength % FLASH_UNIT != 0 || dwAddress > FLASH_SIZE ||
        dwLength > FLASH_SIZE - dwAddress) {
        return false;
    }
    std::memset(m_data.data() + dwAddress, 0xFF, dwLength);
    for (uint32_t n = dwAddress / FLASH_UNIT; n < (dwAddress + dwLength) / FLASH_UNIT; ++n) {
        ++m_units[n].nEraseCount;
        m_units[n].bErased = true;
    }
    return true;
}

bool CFlashModel::Program(uint32_t dwAddress, const uint8_t* pData)
{
    if (dwAddress % FLASH_UNIT != 0 || dwAddress >= FLASH_SIZE) {
        return false;
    }
    FlashUnitState& unit = m_units[dwAddress / FLASH_UNIT];
    if (!unit.bErased) {
        return false;
    }
    std::memcpy(m_data.data() + dwAddress, pData, FLASH_UNIT);
    unit.bErased = false;
    ++unit.nProgramCount;
    return true;
}

}  // namespace Sim
