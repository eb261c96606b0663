#include "platform/thread.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace Platform {

namespace {

struct ThreadState {
    std::mutex mutex;
    std::condition_variable cv;
    bool bDone = false;
    unsigned nExitCode = 0;
};

struct ThreadObject {
    std::thread thread;
    std::shared_ptr<ThreadState> pState;
};

}  // namespace

// Priorities need privileges on POSIX; every thread runs at the default one.
ThreadHandle StartThread(ThreadProc pfnProc, void* pArg, ThreadPriority)
{
    auto* pThread = new ThreadObject;
    pThread->pState = std::make_shared<ThreadState>();
    try {
        pThread->thread = std::thread([pfnProc, pArg, pState = pThread->pState] {
            const unsigned nCode = pfnProc(pArg);
            std::lock_guard<std::mutex> lock(pState->mutex);
            pState->nExitCode = nCode;
            pState->bDone = true;
            pState->cv.notify_all();
        });
    } catch (...) {
        delete pThread;
        return nullptr;
    }
    return pThread;
}

bool JoinThread(ThreadHandle hThread, uint32_t nTimeoutMs, unsigned* pExitCode)
{
    if (hThread == nullptr) {
        return false;
    }
    auto* pThread = static_cast<ThreadObject*>(hThread);
    {
        std::unique_lock<std::mutex> lock(pThread->pState->mutex);
        auto isDone = [&] { return pThread->pState->bDone; };
        if (nTimeoutMs == 0xFFFFFFFFu) {
            pThread->pState->cv.wait(lock, isDone);
        } else if (!pThread->pState->cv.wait_for(lock, std::chrono::milliseconds(nTimeoutMs), isDone)) {
            return false;
        }
        if (pExitCode != nullptr) {
            *pExitCode = pThread->pState->nExitCode;
        }
    }
    if (pThread->thread.joinable()) {
        pThread->thread.join();
    }
    return true;
}

bool IsCurrentThread(ThreadHandle hThread)
{
    return hThread != nullptr && static_cast<ThreadObject*>(hThread)->thread.get_id() == std::this_thread::get_id();
}

void ReleaseThread(ThreadHandle hThread)
{
    if (hThread == nullptr) {
        return;
    }
    auto* pThread = static_cast<ThreadObject*>(hThread);
    if (pThread->thread.joinable()) {
        pThread->thread.detach();
    }
    delete pThread;
}

}  // namespace Platform
