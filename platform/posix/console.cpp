#include "platform/console.h"

#include <unistd.h>

namespace Platform {

bool IsTerminal(FILE* pStream)
{
    return isatty(fileno(pStream)) != 0;
}

}  // namespace Platform
