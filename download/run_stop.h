#pragma once
// Stopping a download run from outside its worker: closing the wizard, Ctrl-C in the flasher. The run's
// pauses and reply waits take the stop, so the one in progress ends at once; the run then fails through
// its ordinary path, which closes the port and removes the files. The time scale and the waits of other
// threads (the receive thread's stop bound among them) stay as they are.
#include "platform/named_event.h"

void RequestRunStop();
// Before a run starts: a stop of the previous run does not end this one.
void ClearRunStop();
bool RunStopRequested();
// The manual-reset event that the run's waits take (Platform::SleepMs, WaitEventObjectOrStop).
Platform::EventHandle RunStopEvent();
