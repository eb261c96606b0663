// Events for one process: a table maps names to shared objects, like the kernel's namespace does.
#include "platform/named_event.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/clock.h"

namespace Platform {

namespace {

struct EventObject {
    bool bSignaled = false;
    bool bManualReset = true;
};

struct EventRef {
    std::shared_ptr<EventObject> pObject;
};

std::mutex g_tableMutex;
std::map<std::string, std::weak_ptr<EventObject>> g_namedEvents;

// One lock and one condition for the state of every event: a wait on two events (a reply or a stop)
// then needs nothing more. The few events of a run make the shared wake-ups cheap.
std::mutex g_stateMutex;
std::condition_variable g_stateChanged;

EventObject* ToObject(EventHandle hEvent)
{
    return static_cast<EventRef*>(hEvent)->pObject.get();
}

}  // namespace

EventHandle CreateEventObject(const char* pszName, bool bManualReset, bool bInitialState)
{
    std::lock_guard<std::mutex> lock(g_tableMutex);
    if (pszName != nullptr && pszName[0] != '\0') {
        auto it = g_namedEvents.find(pszName);
        if (it != g_namedEvents.end()) {
            if (auto pExisting = it->second.lock()) {
                return new EventRef{pExisting};
            }
        }
    }
    auto pObject = std::make_shared<EventObject>();
    pObject->bManualReset = bManualReset;
    pObject->bSignaled = bInitialState;
    if (pszName != nullptr && pszName[0] != '\0') {
        g_namedEvents[pszName] = pObject;
    }
    return new EventRef{pObject};
}

EventHandle OpenEventObject(const char* pszName)
{
    if (pszName == nullptr || pszName[0] == '\0') {
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(g_tableMutex);
    auto it = g_namedEvents.find(pszName);
    if (it == g_namedEvents.end()) {
        return nullptr;
    }
    auto pObject = it->second.lock();
    if (!pObject) {
        g_namedEvents.erase(it);
        return nullptr;
    }
    return new EventRef{pObject};
}

bool SetEventObject(EventHandle hEvent)
{
    if (hEvent == nullptr) {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(g_stateMutex);
        ToObject(hEvent)->bSignaled = true;
    }
    g_stateChanged.notify_all();
    return true;
}

bool ResetEventObject(EventHandle hEvent)
{
    if (hEvent == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> lock(g_stateMutex);
    ToObject(hEvent)->bSignaled = false;
    return true;
}

void CloseEventObject(EventHandle hEvent)
{
    if (hEvent == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(g_tableMutex);
    delete static_cast<EventRef*>(hEvent);
    for (auto it = g_namedEvents.begin(); it != g_namedEvents.end();) {
        it = it->second.expired() ? g_namedEvents.erase(it) : std::next(it);
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
    EventObject& ev = *ToObject(hEvent);
    const EventObject* pStop = hStop != nullptr ? ToObject(hStop) : nullptr;
    auto fnStopped = [&] { return pStop != nullptr && pStop->bSignaled; };
    auto fnDone = [&] { return fnStopped() || ev.bSignaled; };
    std::unique_lock<std::mutex> lock(g_stateMutex);
    if (nTimeoutMs == WAIT_INFINITE) {
        g_stateChanged.wait(lock, fnDone);
    } else if (!g_stateChanged.wait_for(lock, std::chrono::milliseconds(ScaledMs(nTimeoutMs)), fnDone)) {
        return WAIT_RESULT_TIMEOUT;
    }
    if (fnStopped()) {
        return WAIT_RESULT_STOPPED;
    }
    if (!ev.bManualReset) {
        ev.bSignaled = false;
    }
    return WAIT_RESULT_SIGNALED;
}

}  // namespace Platform
