#include "platform/window_message.h"

namespace Platform {

bool SendWindowMessage(WindowHandle, uint32_t, uintptr_t, intptr_t)
{
    return false;  // no windows here: reports go to a notification sink
}

}  // namespace Platform
