#include "download/failure_guidance.h"

#include "download/download_messages.h"
#include "download/notify.h"
#include "download/protocol.h"

namespace {

bool StartsWith(const std::string& strText, const char* pszPrefix)
{
    return strText.rfind(pszPrefix, 0) == 0;
}

// The fixed part of a message with a number or a name in it: what comes before its first '%'.
bool StartsLike(const std::string& strText, const char* pszFormat)
{
    const std::string strFormat = pszFormat;
    return StartsWith(strText, strFormat.substr(0, strFormat.find('%')).c_str());
}

}  // namespace

FailureKind ClassifyFailure(const std::string& strFinal, bool bDeviceStillThere)
{
    if (strFinal == DOWNLOAD_COMPLETE_TEXT) {
        return FAILURE_NONE;
    }
    if (strFinal == MSG_NO_PORT || strFinal == MSG_CANNOT_CREATE_PORT || strFinal == MSG_CANNOT_OPEN_PORT) {
        return FAILURE_NO_PORT;
    }
    if (StartsLike(strFinal, MSG_PARTITION_FILES_NOT_WRITTEN) || strFinal == MSG_PARTITION_FILES_FAILED) {
        return FAILURE_TEMP_FULL;
    }
    FailureKind nKind = FAILURE_OTHER;
    if (strFinal == MSG_STARTUP_NO_REPLY) {
        nKind = FAILURE_NO_ANSWER;
    } else if (StartsLike(strFinal, MSG_STARTUP_BAD_ACK)) {
        nKind = FAILURE_STARTUP_REFUSED;
    } else if (strFinal == MSG_ERASE_FAILED || strFinal == MSG_WRITE_FAILED || strFinal == MSG_FLASH_DOWNLOAD_ERROR) {
        nKind = FAILURE_WRITE;
    } else if (StartsLike(strFinal, MSG_CLOSE_USB_FAILED) || strFinal == MSG_UNLOCK_FAILED ||
               strFinal == MSG_REBUILD_FAILED || strFinal == MSG_RESET_FAILED) {
        nKind = FAILURE_END_STEP;
    }
    return bDeviceStillThere ? nKind : FAILURE_DEVICE_GONE;
}

const char* FailureGuidance(FailureKind nKind)
{
    switch (nKind) {
    case FAILURE_NONE:
        return "";
    case FAILURE_NO_PORT:
        return "The device's port could not be found or opened. Check that the device is connected by its USB "
               "cable and in download mode (three steady blue lights), close other programs that may use it, "
               "then restart.";
    case FAILURE_NO_ANSWER:
        return "The device did not answer: it is most likely not in download mode. Unplug it, take the battery "
               "out and put it back, hold the two buttons until three lights are steady blue, connect it, "
               "then restart.";
    case FAILURE_STARTUP_REFUSED:
        return "The device answered but would not start the upgrade. Take the battery out for 5 seconds, put "
               "the device into download mode again, then restart. If it happens again, contact support.";
    case FAILURE_WRITE:
        return "Writing to the device failed. Connect it to a USB port on the PC itself, not a hub or a front "
               "panel, try another USB cable if you have one, then restart.";
    case FAILURE_END_STEP:
        return "The software was written, but the device did not finish the upgrade. Take the battery out for "
               "5 seconds, then run the upgrade again from the start.";
    case FAILURE_DEVICE_GONE:
        return "The device disconnected during the upgrade. Check the cable and use a USB port on the PC "
               "itself, keep the PC from sleeping, put the device into download mode again, then restart.";
    case FAILURE_TEMP_FULL:
        return "The temporary folder on this PC is full. Free at least 200 MB on the system disk (empty the "
               "Recycle Bin, remove large files), then restart.";
    case FAILURE_DRIVER:
        return "The device's USB driver could not be installed. Run the wizard as an administrator, or install "
               "the driver from the device's maker, then start the wizard again.";
    case FAILURE_OTHER:
    default:
        return "Something went wrong during the upgrade. Take the battery out for 5 seconds, put the device "
               "into download mode again, then restart. If it happens again, contact support.";
    }
}
