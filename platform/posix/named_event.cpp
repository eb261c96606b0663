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
    std::mutex mutex;
    std::condition_variable cv;
    bool bSignaled = false;
    bool bManualReset = true;
};

struct EventRef {
    std::shared_ptr<EventObject> pObject;
};

std::mutex g_tableMutex;
std::map<std::string, std::weak_ptr<EventObject>> g_namedEvents;

EventRef* ToRef(EventHandle hEvent)
{
    return static_cast<EventRef*>(hEvent);
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
    EventObject& ev = *ToRef(hEvent)->pObject;
    {
        std::lock_guard<std::mutex> lock(ev.mutex);
        ev.bSignaled = true;
    }
    ev.cv.notify_all();
    return true;
}

bool ResetEventObject(EventHandle hEvent)
{
    if (hEvent == nullptr) {
        return false;
    }
    EventObject& ev = *ToRef(hEvent)->pObject;
    std::lock_guard<std::mutex> lock(ev.mutex);
    ev.bSignaled = false;
    return true;
}

void CloseEventObject(EventHandle hEvent)
{
    if (hEvent == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(g_tableMutex);
    delete ToRef(hEvent);
    for (auto it = g_namedEvents.begin(); it != g_namedEvents.end();) {
        it = it->second.expired() ? g_namedEvents.erase(it) : std::next(it);
    }
}

WaitResult WaitEventObject(EventHandle hEvent, uint32_t nTimeoutMs)
{
    if (hEvent == nullptr) {
        return WAIT_RESULT_FAILED;
    }
    EventObject& ev = *ToRef(hEvent)->pObject;
    std::unique_lock<std::mutex> lock(ev.mutex);
    if (nTimeoutMs == WAIT_INFINITE) {
        ev.cv.wait(lock, [&] { return ev.bSignaled; });
    } else if (!ev.cv.wait_for(lock, std::chrono::milliseconds(ScaledMs(nTimeoutMs)), [&] { return ev.bSignaled; })) {
        return WAIT_RESULT_TIMEOUT;
    }
    if (!ev.bManualReset) {
        ev.bSignaled = false;
    }
    return WAIT_RESULT_SIGNALED;
}

}  // namespace Platform
