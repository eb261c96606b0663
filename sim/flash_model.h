#pragma once
// The device's NAND: 64 MiB in 16 KiB units. A unit can be programmed once after it was erased; erased
// bytes read 0xFF. At power-up every unit holds the previous firmware (a fixed pattern that is never all
// 0xFF), so a unit the host forgot to erase or write is visible.
#include <cstdint>
#include <vector>

namespace Sim {

constexpr uint32_t FLASH_SIZE = 64u * 1024u * 1024u;
constexpr uint32_t FLASH_UNIT = 16384;
constexpr uint32_t FLASH_UNITS = FLASH_SIZE / FLASH_UNIT;

// What the previous firmware left at an address.
uint8_t OldFirmwareByte(uint32_t dwAddress);

struct FlashUnitState {
    uint32_t nEraseCount = 0;
    uint32_t nProgramCount = 0;
    bool bErased = false;  // erased and not programmed since
};

class CFlashModel {
public:
    CFlashModel();

    // Both return false (and change nothing) for a range outside the flash or not on unit boundaries;
    // Program also when the unit is not erased.
    bool Erase(uint32_t dwAddress, uint32_t dwLength);
    bool Program(uint32_t dwAddress, const uint8_t* pData);  // one whole unit

    const uint8_t* Data() const { return m_data.data(); }
    const FlashUnitState& Unit(uint32_t nIndex) const { return m_units[nIndex]; }
    // Back to the power-up state (old firmware everywhere).
    void Reset();

private:
    std::vector<uint8_t> m_data;
    std::vector<FlashUnitState> m_units;
};

}  // namespace Sim
