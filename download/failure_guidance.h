#pragma once
// What most likely went wrong in a failed run, told from its final text, and what the user can do about
// it: a few plain sentences shown under the failure banner.
#include <string>

enum FailureKind {
    FAILURE_NONE,             // the run succeeded
    FAILURE_NO_PORT,          // no device port, or it could not be opened
    FAILURE_NO_ANSWER,        // the device did not answer the startup command
    FAILURE_STARTUP_REFUSED,  // it answered, but refused to start
    FAILURE_WRITE,            // an erase or a write failed
    FAILURE_END_STEP,         // written, but a step after the writing failed
    FAILURE_DEVICE_GONE,      // the device's port went away during the run
    FAILURE_TEMP_FULL,        // the temporary folder could not take the partition files
    FAILURE_DRIVER,           // the USB driver could not be installed
    FAILURE_OTHER,
};

// The kind of a run's final text; bDeviceStillThere says whether the device's port is still listed
// (a failing step whose device has gone is the device going, not the step).
FailureKind ClassifyFailure(const std::string& strFinal, bool bDeviceStillThere);

// The guidance for a kind; empty for FAILURE_NONE.
const char* FailureGuidance(FailureKind nKind);
