#include "platform/thread.h"

#include <process.h>
#include <windows.h>

namespace Platform {

namespace {

struct StartInfo {
    ThreadProc pfnProc;
    void* pArg;
};

// The id is kept from the start: GetThreadId does not exist before Vista.
struct Win32Thread {
    HANDLE hThread;
    unsigned nId;
};

unsigned __stdcall ThreadEntry(void* pParam)
{
    StartInfo info = *static_cast<StartInfo*>(pParam);
    delete static_cast<StartInfo*>(pParam);
    return info.pfnProc(info.pArg);
}

}  // namespace

ThreadHandle StartThread(ThreadProc pfnProc, void* pArg, ThreadPriority nPriority)
{
    auto* pInfo = new StartInfo{pfnProc, pArg};
    unsigned nId = 0;
    const uintptr_t hThread = _beginthreadex(nullptr, 0, &ThreadEntry, pInfo, CREATE_SUSPENDED, &nId);
    if (hThread == 0) {
        delete pInfo;
        return nullptr;
    }
    HANDLE h = reinterpret_cast<HANDLE>(hThread);
    SetThreadPriority(h, nPriority == THREAD_PRIO_ABOVE_NORMAL ? THREAD_PRIORITY_ABOVE_NORMAL : THREAD_PRIORITY_NORMAL);
    ResumeThread(h);
    return new Win32Thread{h, nId};
}

bool JoinThread(ThreadHandle hThread, uint32_t nTimeoutMs, unsigned* pExitCode)
{
    if (hThread == nullptr) {
        return false;
    }
    HANDLE h = static_cast<Win32Thread*>(hThread)->hThread;
    if (WaitForSingleObject(h, nTimeoutMs == 0xFFFFFFFFu ? INFINITE : nTimeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    if (pExitCode != nullptr) {
        DWORD dwCode = 0;
        GetExitCodeThread(h, &dwCode);
        *pExitCode = dwCode;
    }
    return true;
}

bool IsCurrentThread(ThreadHandle hThread)
{
    return hThread != nullptr && static_cast<Win32Thread*>(hThread)->nId == GetCurrentThreadId();
}

void ReleaseThread(ThreadHandle hThread)
{
    if (hThread != nullptr) {
        CloseHandle(static_cast<Win32Thread*>(hThread)->hThread);
        delete static_cast<Win32Thread*>(hThread);
    }
}

}  // namespace Platform
