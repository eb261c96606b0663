#pragma once
// Checks the flash after a download against the firmware container that was flashed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/flash_model.h"

namespace Sim {

struct VerifyReport {
    bool bOk = false;
    std::vector<std::string> lines;  // one per partition checked, then every difference
    std::string Text() const;        // the lines, one per line
};

// Partitions 4 to 12 (those the host writes) must hold exactly their data followed by 0xFF up to the next
// 16 KiB boundary; the regions of partitions 0 to 3 must never have been erased or written.
VerifyReport VerifyFlash(const CFlashModel& flash, const uint8_t* pContainer, size_t nSize);

}  // namespace Sim
