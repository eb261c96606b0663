#include "platform/console.h"

#include <io.h>

namespace Platform {

bool IsTerminal(FILE* pStream)
{
    return _isatty(_fileno(pStream)) != 0;
}

}  // namespace Platform
