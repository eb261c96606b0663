#include "platform/process_id.h"

#include <unistd.h>

namespace Platform {

uint32_t CurrentProcessId()
{
    return static_cast<uint32_t>(getpid());
}

}  // namespace Platform
