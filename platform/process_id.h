#pragma once
// The running process's id, to keep names that the system shares between processes apart.
#include <cstdint>

namespace Platform {

uint32_t CurrentProcessId();

}  // namespace Platform
