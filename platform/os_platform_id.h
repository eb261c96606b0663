#pragma once
// The low byte of the operating system's platform identifier: 1 for the Windows 9x family,
// 2 for NT and later (and for POSIX systems, whose waits behave like NT's).
#include <cstdint>

namespace Platform {

uint8_t GetOsPlatformId();

}  // namespace Platform
