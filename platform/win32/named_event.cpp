#include "platform/named_event.h"

#include <windows.h>

#include "platform/clock.h"

namespace Platform {

EventHandle CreateEventObject(const char* pszName, bool bManualReset, bool bInitialState)
{
    return CreateEventA(nullptr, bManualReset ? TRUE : FALSE, bInitialState ? TRUE : FALSE,
                        (pszName != nullptr && pszName[0] != '\0') ? pszName : nullptr);
}

EventHandle OpenEventObject(const char* pszName)
{
    if (pszName == nullptr || pszName[0] == '\0') {
        return nullptr;
    }
    return OpenEventA(EVENT_ALL_ACCESS, FALSE, pszName);
}

bool SetEventObject(EventHandle hEvent)
{
    return hEvent != nullptr && SetEvent(hEvent) != FALSE;
}

bool ResetEventObject(EventHandle hEvent)
{
    return hEvent != nullptr && ResetEvent(hEvent) != FALSE;
}

void CloseEventObject(EventHandle hEvent)
{
    if (hEvent != nullptr) {
        CloseHandle(hEvent);
    }
}

WaitResult WaitEventObject(EventHandle hEvent, uint32_t nTimeoutMs)
{
    return WaitEventObjectOrStop(hEvent, nullptr, nTimeoutMs);
}

WaitResult WaitEventObjectOrStop(EventHandle hEvent, EventHandle hStop, uint32_t nTimeoutMs)
{
    if (hEvent == nullptr) {
        return WAIT_RESULT_FAILED;
    }
    const DWORD dwTimeout = nTimeoutMs == WAIT_INFINITE ? INFINITE : ScaledMs(nTimeoutMs);
    if (hStop == nullptr) {
        switch (WaitForSingleObject(hEvent, dwTimeout)) {
        case WAIT_OBJECT_0: return WAIT_RESULT_SIGNALED;
        case WAIT_TIMEOUT: return WAIT_RESULT_TIMEOUT;
        case WAIT_FAILED: return WAIT_RESULT_FAILED;
        default: return WAIT_RESULT_OTHER;
        }
    }
    // The stop first: when both are set, the lower index is reported.
    const HANDLE handles[2] = {hStop, hEvent};
    switch (WaitForMultipleObjects(2, handles, FALSE, dwTimeout)) {
    case WAIT_OBJECT_0: return WAIT_RESULT_STOPPED;
    case WAIT_OBJECT_0 + 1: return WAIT_RESULT_SIGNALED;
    case WAIT_TIMEOUT: return WAIT_RESULT_TIMEOUT;
    case WAIT_FAILED: return WAIT_RESULT_FAILED;
    default: return WAIT_RESULT_OTHER;
    }
}

}  // namespace Platform
