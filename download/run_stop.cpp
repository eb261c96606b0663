#include "download/run_stop.h"

Platform::EventHandle RunStopEvent()
{
    // Made on first use and kept for the life of the process; a wait on it may begin at any time.
    static const Platform::EventHandle hStop = Platform::CreateEventObject(nullptr, true, false);
    return hStop;
}

void RequestRunStop()
{
    Platform::SetEventObject(RunStopEvent());
}

void ClearRunStop()
{
    Platform::ResetEventObject(RunStopEvent());
}

bool RunStopRequested()
{
    return Platform::WaitEventObject(RunStopEvent(), 0) == Platform::WAIT_RESULT_SIGNALED;
}
