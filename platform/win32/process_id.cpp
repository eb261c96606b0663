#include "platform/process_id.h"

#include <windows.h>

namespace Platform {

uint32_t CurrentProcessId()
{
    return GetCurrentProcessId();
}

}  // namespace Platform
