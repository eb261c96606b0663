#include "cli/flash_run.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

#include "cli/exit_codes.h"
#include "cli/image_source.h"
#include "cli/run_reports.h"
#include "cli/simulated_device.h"
#include "download/download_worker.h"
#include "download/notify.h"
#include "download/run_stop.h"
#include "image/partition_files.h"
#include "image/staging.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/interrupt.h"
#include "platform/serial_port_map.h"
#include "platform/thread.h"
#include "serial/base_comm.h"
#include "serial/port_discovery.h"

namespace {

constexpr uint32_t PORT_POLL_MS = 2000;       // as the download screen's port timer
constexpr uint32_t WORKER_POLL_REAL_MS = 100;

// Keeps DetectedPort up to date while the download runs; the wizard's port timer, by contrast, stops
// when a download starts.
class CPortWatcher {
public:
    void Start()
    {
        DetectedPort = static_cast<uint8_t>(FindDevicePort() & 0xFF);
        m_thread = std::thread([this] {
            while (!m_bStop.load()) {
                Platform::SleepMs(PORT_POLL_MS);
                if (!m_bStop.load()) {
                    DetectedPort = static_cast<uint8_t>(FindDevicePort() & 0xFF);
                }
            }
        });
    }
    void Stop()
    {
        m_bStop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }
    ~CPortWatcher() { Stop(); }

private:
    std::atomic<bool> m_bStop{false};
    std::thread m_thread;
};

int RegisterNamedPort(const std::string& strPort)
{
    // Discovery finds a port given by name like the device's own diagnostic port.
    return Platform::RegisterSerialPort("\\Device\\qzcdserd (--port)", strPort);
}

}  // namespace

int RunFlash(const FlashOptions& options)
{
    // Declared first, so it goes last: a console that is being closed waits for everything below.
    struct CCleanupSignal {
        ~CCleanupSignal() { Platform::InterruptCleanupDone(); }
    } cleanupSignal;
    // From here on Ctrl-C is noted, not fatal: whatever was made so far is removed before exiting.
    Platform::InstallInterruptHandler();
    // Nobody reading the output any more is no reason to leave the device half-flashed.
    Platform::SurviveFailedWrites();
    CImageSource source;
    std::string strError;
    if (options.bSimulate && !source.Open(options.strImage, &strError)) {
        std::fprintf(stderr, "krt-flash: %s\n", strError.c_str());
        return EXIT_FLASH_BAD_IMAGE;
    }

    CSimulatedDevice simulator;
    if (options.bSimulate) {
        if (!simulator.Start(&strError)) {
            std::fprintf(stderr, "krt-flash: %s\n", strError.c_str());
            return EXIT_FLASH_OTHER;
        }
        std::printf("Simulated KRT-P940 in download mode started\n");
    }
    int nNamedPort = 0;
    if (!options.strPort.empty()) {
        nNamedPort = RegisterNamedPort(options.strPort);
        if (nNamedPort == 0) {
            std::fprintf(stderr, "krt-flash: cannot use port '%s'\n", options.strPort.c_str());
            return EXIT_FLASH_USAGE;
        }
    }

    std::string strStaging;
    if (!options.strImage.empty() && GetStagedImagePath(&strStaging) &&
        Platform::IsSameFile(options.strImage.c_str(), strStaging.c_str())) {
        std::fprintf(stderr, "krt-flash: %s is where the image is staged and deleted; copy it elsewhere first\n",
                     options.strImage.c_str());
        return EXIT_FLASH_BAD_IMAGE;
    }
    std::printf("Waiting... Loading Binary File.\n");
    std::string strImagePath;
    int nWriteErrno = 0;
    const bool bStaged = options.strImage.empty()
                             ? StageFirmwareImage(FIRMWARE_RESOURCE_ID, &strImagePath, &nWriteErrno)
                             : StageFirmwareFile(options.strImage.c_str(), &strImagePath, &nWriteErrno);
    if (!bStaged || Platform::InterruptRequested()) {
        if (!strImagePath.empty()) {
            Platform::DeleteFileAt(strImagePath.c_str());
        }
        if (Platform::InterruptRequested()) {
            std::fprintf(stderr, "krt-flash: interrupted; the staged image was removed\n");
            return EXIT_FLASH_INTERRUPTED;
        }
        if (nWriteErrno != 0) {
            std::fprintf(stderr, "krt-flash: cannot write the staged image %s: %s\n", strImagePath.c_str(),
                         std::strerror(nWriteErrno));
            return EXIT_FLASH_DISK;
        }
        std::fprintf(stderr, "krt-flash: Cannot Open binary file!\n");
        return EXIT_FLASH_BAD_IMAGE;
    }

    CPortWatcher portWatcher;
    portWatcher.Start();

    CRunReporter display;
    SetNotifySink([&display](int32_t nCode) { display.OnNotify(nCode); });
    NotifyWindow = nullptr;
    ClearRunStop();

    auto* pJob = new DownloadJob;
    pJob->strImagePath = strImagePath;
    pJob->nRebuildFlag = options.bNoRebuild ? 0 : 1;
    Platform::ThreadHandle hWorker = Platform::StartThread(&DownloadWorker, pJob, Platform::THREAD_PRIO_NORMAL);
    if (hWorker == nullptr) {
        delete pJob;
        SetNotifySink({});
        RemoveStagedFiles(strImagePath.c_str());
        std::fprintf(stderr, "krt-flash: cannot start the download\n");
        return EXIT_FLASH_OTHER;
    }
    bool bInterrupted = false;
    while (!Platform::JoinThread(hWorker, WORKER_POLL_REAL_MS, nullptr)) {
        if (Platform::InterruptRequested() && !bInterrupted) {
            bInterrupted = true;
            // The run ends at its next wait, through its own failure path, which closes the port and
            // removes the files.
            RequestRunStop();
            std::fprintf(stderr, "\nkrt-flash: interrupted; closing the port and removing the staged files\n");
        }
    }
    Platform::ReleaseThread(hWorker);
    portWatcher.Stop();
    SetNotifySink({});
    display.Finish();
    if (nNamedPort != 0) {
        Platform::UnregisterSerialPort(nNamedPort);
    }

    const std::string strFinal = display.FinalText();
    int nExit = ExitCodeForFinalText(strFinal);
    // Interrupted while the device was already rebooting: the download is complete all the same.
    if (bInterrupted && nExit != EXIT_FLASH_OK) {
        simulator.Stop();
        return EXIT_FLASH_INTERRUPTED;
    }
    if (nExit != EXIT_FLASH_OK) {
        std::fprintf(stderr, "krt-flash: %s\n", strFinal.c_str());
    }
    if (options.bSimulate) {
        std::string strReport;
        const bool bVerified = simulator.Verify(source.Data(), source.Size(), &strReport);
        std::printf("Verification of the simulated device's flash against the %s:\n%s", source.Describe().c_str(),
                    strReport.c_str());
        std::printf("Verification %s\n", bVerified ? "passed" : "FAILED");
        if (nExit == EXIT_FLASH_OK && !bVerified) {
            nExit = EXIT_FLASH_VERIFY;
        }
        simulator.Stop();
    }
    return nExit;
}
