#include "platform/thread.h"

#include <process.h>
#include <windows.h>

namespace Platform {

namespace {

struct StartInfo {
    ThreadProc pfnProc;
    void* pArg;
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
    const uintptr_t hThread = _beginthreadex(nullptr, 0, &ThreadEntry, pInfo, CREATE_SUSPENDED, nullptr);
    if (hThread == 0) {
        delete pInfo;
        return nullptr;
    }
    HANDLE h = reinterpret_cast<HANDLE>(hThread);
    SetThreadPriority(h, nPriority == THREAD_PRIO_ABOVE_NORMAL ? THREAD_PRIORITY_ABOVE_NORMAL : THREAD_PRIORITY_NORMAL);
    ResumeThread(h);
    return h;
}

bool JoinThread(ThreadHandle hThread, uint32_t nTimeoutMs, unsigned* pExitCode)
{
    if (hThread == nullptr) {
        return false;
    }
    HANDLE h = static_cast<HANDLE>(hThread);
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
    return hThread != nullptr && GetThreadId(static_cast<HANDLE>(hThread)) == GetCurrentThreadId();
}

void ReleaseThread(ThreadHandle hThread)
{
    if (hThread != nullptr) {
        CloseHandle(static_cast<HANDLE>(hThread));
    }
}

}  // namespace Platform
