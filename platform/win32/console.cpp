#include "platform/console.h"

#include <io.h>

namespace Platform {

bool IsTerminal(FILE* pStream)
{
    return _isatty(_fileno(pStream)) != 0;
}

// Windows has no signal for a broken pipe or an oversized file: the write just fails.
void SurviveFailedWrites() {}

}  // namespace Platform
