#include "cli/cli_os.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

std::string OwnProgramPath()
{
    char szPath[PATH_MAX + 1] = {};
    const ssize_t nLength = readlink("/proc/self/exe", szPath, PATH_MAX);
    return nLength > 0 ? std::string(szPath, static_cast<size_t>(nLength)) : std::string();
}

FILE* TakeStdoutForEvents()
{
    std::fflush(stdout);
    const int nEvents = dup(STDOUT_FILENO);
    if (nEvents < 0) {
        return nullptr;
    }
    FILE* pEvents = fdopen(nEvents, "w");
    if (pEvents == nullptr) {
        close(nEvents);
        return nullptr;
    }
    dup2(STDERR_FILENO, STDOUT_FILENO);
    return pEvents;
}

std::string PortArgumentFor(const Platform::SerialPortEntry& entry)
{
    // The map names a tty "\Device\<driver>/<tty>".
    const size_t nSlash = entry.strDeviceName.rfind('/');
    if (nSlash == std::string::npos || nSlash + 1 >= entry.strDeviceName.size()) {
        return {};
    }
    return "/dev/" + entry.strDeviceName.substr(nSlash + 1);
}
