#include "platform/os_platform_id.h"

#include <windows.h>

namespace Platform {

uint8_t GetOsPlatformId()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = 148;  // the size of the record without the service-pack fields
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    GetVersionExA(&info);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return static_cast<uint8_t>(info.dwPlatformId & 0xFF);
}

}  // namespace Platform
