// The clock is the same on every system: std::chrono does the work.
#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace Platform {

namespace {
std::atomic<double> g_dTimeScale{1.0};
}

void SetTimeScale(double dScale)
{
    if (dScale > 0.0) {
        g_dTimeScale.store(dScale);
    }
}

double GetTimeScale()
{
    return g_dTimeScale.load();
}

bool SetTimeScaleFromEnvironment()
{
    // A release build reads no switch meant for tests.
    if (!KRT_TEST_SWITCHES) {
        return true;
    }
    const char* pszScale = std::getenv("KRT_TIME_SCALE");
    if (pszScale == nullptr || pszScale[0] == '\0') {
        return true;
    }
    char* pEnd = nullptr;
    const double dScale = std::strtod(pszScale, &pEnd);
    if (pEnd == pszScale || *pEnd != '\0' || !(dScale > 0.0) || dScale > 1000.0) {
        return false;
    }
    SetTimeScale(dScale);
    return true;
}

uint32_t ScaledMs(uint32_t nMs)
{
    if (nMs == 0) {
        return 0;
    }
    const double dScaled = static_cast<double>(nMs) * g_dTimeScale.load();
    if (dScaled < 1.0) {
        return 1;
    }
    if (dScaled > 4000000000.0) {
        return 4000000000u;
    }
    return static_cast<uint32_t>(std::llround(dScaled));
}

void SleepMs(uint32_t nMs)
{
    if (nMs == 0) {
        return;
    }
    // Sleeps keep their fraction of a millisecond, so a heavily scaled run does not pay 1 ms per pause.
    const double dMicros = static_cast<double>(nMs) * g_dTimeScale.load() * 1000.0;
    std::this_thread::sleep_for(std::chrono::microseconds(static_cast<int64_t>(dMicros)));
}

bool SleepMs(uint32_t nMs, EventHandle hStop)
{
    if (hStop == nullptr) {
        SleepMs(nMs);
        return true;
    }
    // Nothing but a stop sets this event: waiting on it for the time is the sleep.
    return WaitEventObject(hStop, nMs) != WAIT_RESULT_SIGNALED;
}

int64_t MonotonicMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t WallSeconds()
{
    return static_cast<int64_t>(std::time(nullptr));
}

}  // namespace Platform
