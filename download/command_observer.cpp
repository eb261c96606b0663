#include "download/command_observer.h"

#include <atomic>

namespace {
std::atomic<ICommandObserver*> g_pObserver{nullptr};
}  // namespace

void SetCommandObserver(ICommandObserver* pObserver)
{
    g_pObserver.store(pObserver);
}

void NotifyCommandSent(uint8_t byTag, const uint8_t* pPayload, uint32_t nLength)
{
    if (ICommandObserver* pObserver = g_pObserver.load()) {
        pObserver->OnCommandSent(byTag, pPayload, nLength);
    }
}

void NotifyReplyWaited(uint32_t nTimeoutMs, int32_t nResult, const uint8_t* pReply, int32_t nReplyLength)
{
    if (ICommandObserver* pObserver = g_pObserver.load()) {
        pObserver->OnReplyWaited(nTimeoutMs, nResult, pReply, nReplyLength);
    }
}
