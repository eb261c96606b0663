#include "platform/registry.h"

namespace Platform {

bool ReadLocalMachineValue(const char*, const char*, void*, uint32_t*)
{
    return false;
}

}  // namespace Platform
