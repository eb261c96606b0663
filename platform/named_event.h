#pragma once
// Manual- or auto-reset events, optionally named so that other code can open them by name.
// Handles are opaque; a null handle is accepted everywhere and makes the call fail.
#include <cstdint>

namespace Platform {

using EventHandle = void*;

enum WaitResult {
    WAIT_RESULT_SIGNALED = 0,
    WAIT_RESULT_TIMEOUT = 1,
    WAIT_RESULT_FAILED = 2,
    WAIT_RESULT_OTHER = 3,
    WAIT_RESULT_STOPPED = 4,  // the stop event was set first
};

// pszName may be null for an unnamed event. Creating a name that exists opens the existing event.
EventHandle CreateEventObject(const char* pszName, bool bManualReset, bool bInitialState);
// Null when no event of that name exists.
EventHandle OpenEventObject(const char* pszName);
bool SetEventObject(EventHandle hEvent);
bool ResetEventObject(EventHandle hEvent);
void CloseEventObject(EventHandle hEvent);
// Waits nTimeoutMs engine milliseconds (scaled by the clock); WAIT_INFINITE waits for ever.
constexpr uint32_t WAIT_INFINITE = 0xFFFFFFFFu;
WaitResult WaitEventObject(EventHandle hEvent, uint32_t nTimeoutMs);
// The same wait, ended early by hStop (a manual-reset event, left set): WAIT_RESULT_STOPPED, also when both
// are set. A null hStop never stops it.
WaitResult WaitEventObjectOrStop(EventHandle hEvent, EventHandle hStop, uint32_t nTimeoutMs);

}  // namespace Platform
