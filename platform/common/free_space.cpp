// Routing of the free-space question: a stand-in set by a test wins over the system's answer.
#include <mutex>

#include "platform/files.h"

namespace Platform {

bool QuerySystemFreeSpace(const char* pszFolder, uint64_t* pnBytes);

namespace {
std::mutex g_probeMutex;
FreeSpaceProbe g_fnProbe;
}  // namespace

void SetFreeSpaceProbe(FreeSpaceProbe fnProbe)
{
    std::lock_guard<std::mutex> lock(g_probeMutex);
    g_fnProbe = std::move(fnProbe);
}

bool QueryFreeSpace(const char* pszFolder, uint64_t* pnBytes)
{
    FreeSpaceProbe fnProbe;
    {
        std::lock_guard<std::mutex> lock(g_probeMutex);
        fnProbe = g_fnProbe;
    }
    if (pszFolder == nullptr || pnBytes == nullptr)
        return false;
    return fnProbe ? fnProbe(pszFolder, pnBytes) : QuerySystemFreeSpace(pszFolder, pnBytes);
}

}  // namespace Platform
