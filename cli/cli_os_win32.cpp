#include "cli/cli_os.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

std::string OwnProgramPath()
{
    char szPath[MAX_PATH + 1] = {};
    const DWORD nLength = GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    return nLength > 0 && nLength < MAX_PATH ? std::string(szPath, nLength) : std::string();
}

FILE* TakeStdoutForEvents()
{
    std::fflush(stdout);
    const int nEvents = _dup(_fileno(stdout));
    if (nEvents < 0) {
        return nullptr;
    }
    FILE* pEvents = _fdopen(nEvents, "w");
    if (pEvents == nullptr) {
        _close(nEvents);
        return nullptr;
    }
    _dup2(_fileno(stderr), _fileno(stdout));
    return pEvents;
}

std::string PortArgumentFor(const Platform::SerialPortEntry& entry)
{
    return entry.strPortName.rfind("COM", 0) == 0 ? entry.strPortName : std::string();
}
