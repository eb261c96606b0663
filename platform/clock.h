#pragma once
// The one clock of the engine. Every sleep and time-out goes through here so that tests can run
// retry paths quickly: with a time scale of 0.01 a 3000 ms pause takes 30 ms.
#include <cstdint>

#include "platform/named_event.h"

namespace Platform {

// Factor applied to every sleep and wait; 1.0 is real time. Values <= 0 are ignored.
void SetTimeScale(double dScale);
double GetTimeScale();
// Applies KRT_TIME_SCALE from the environment, which test runs against the simulated device set; a
// release build ignores it.
// Unset or empty: nothing changes. False (and nothing changes) unless it is a number above 0 and at
// most 1000.
bool SetTimeScaleFromEnvironment();

// A duration in the engine's milliseconds turned into real milliseconds (at least 1 when ms > 0).
uint32_t ScaledMs(uint32_t nMs);

// Sleeps nMs engine milliseconds.
void SleepMs(uint32_t nMs);
// The same, unless hStop (a manual-reset event) is set by then or meanwhile: false when it ended the sleep.
// A stop is asked for through an event of its own, never through the time scale, so the waits of other
// threads keep their length.
bool SleepMs(uint32_t nMs, EventHandle hStop);

// Monotonic real time in milliseconds, for measuring.
int64_t MonotonicMs();

// Wall-clock seconds, as time() gives them.
int64_t WallSeconds();

}  // namespace Platform
