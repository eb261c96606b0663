#include "download/download_worker.h"

#include <memory>

#include "download/download_messages.h"
#include "download/download_sequence.h"
#include "download/engine_state.h"
#include "download/notify.h"
#include "download/run_stop.h"
#include "image/partition_files.h"
#include "platform/clock.h"
#include "serial/base_comm.h"

unsigned DownloadWorker(void* pParam)
{
    std::string strImagePath;
    int32_t nRebuildFlag = 1;
    {
        std::unique_ptr<DownloadJob> pJob(static_cast<DownloadJob*>(pParam));
        strImagePath = pJob->strImagePath;
        nRebuildFlag = pJob->nRebuildFlag;
    }
    // A port object left from an earlier run is not reused.
    CBaseComm::Discard(g_pComm);

    NotifyStatus(STATUS_DOWNLOAD_START);
    const bool bSuccess = RunDownload(strImagePath.c_str(), nRebuildFlag);
    RemoveStagedFiles(strImagePath.c_str());

    if (bSuccess) {
        CBaseComm::Discard(g_pComm);
        // The download is complete: a stop here only spares the wait for the device's reboot.
        Platform::SleepMs(REBOOT_WAIT_MS, RunStopEvent());
        NotifyStatus(DOWNLOAD_COMPLETE_TEXT);
        NotifyDialog(0, NOTIFY_FINISHED, 0, DOWNLOAD_COMPLETE_TEXT);
        return 1;
    }
    // When no port was opened there is nothing to close on the line; the object is discarded all the same.
    PortNotOpened = 0;
    CBaseComm::Discard(g_pComm);
    const std::string strFinal = MessageText;
    NotifyStatus(strFinal.c_str());
    NotifyDialog(0, NOTIFY_FINISHED, 0, strFinal.c_str());
    return 0;
}
