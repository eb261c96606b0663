#include "platform/console.h"

#include <unistd.h>

#include <csignal>

namespace Platform {

bool IsTerminal(FILE* pStream)
{
    return isatty(fileno(pStream)) != 0;
}

void SurviveFailedWrites()
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace Platform
