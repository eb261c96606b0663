#pragma once
// Worker threads with a priority.
#include <cstdint>

namespace Platform {

using ThreadHandle = void*;
using ThreadProc = unsigned (*)(void* pArg);

enum ThreadPriority {
    THREAD_PRIO_NORMAL = 0,
    THREAD_PRIO_ABOVE_NORMAL = 1,
};

// Starts pfnProc(pArg) at once. Null on failure.
ThreadHandle StartThread(ThreadProc pfnProc, void* pArg, ThreadPriority nPriority);
// Waits for the thread to end (nTimeoutMs real milliseconds, WAIT_INFINITE for ever); true when it ended.
bool JoinThread(ThreadHandle hThread, uint32_t nTimeoutMs, unsigned* pExitCode);
// True when called on the thread itself.
bool IsCurrentThread(ThreadHandle hThread);
// Releases the handle; a thread still running goes on detached.
void ReleaseThread(ThreadHandle hThread);

}  // namespace Platform
