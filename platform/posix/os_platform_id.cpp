#include "platform/os_platform_id.h"

namespace Platform {

uint8_t GetOsPlatformId()
{
    return 2;  // waits on a POSIX device behave like NT's: a failed wait is final
}

}  // namespace Platform
