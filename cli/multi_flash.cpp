#include "cli/multi_flash.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/child_processes.h"
#include "cli/cli_os.h"
#include "cli/device_board.h"
#include "cli/exit_codes.h"
#include "cli/json_events.h"
#include "cli/run_log.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/interrupt.h"
#include "serial/port_discovery.h"

namespace {

// The children report every block; the parent needs only the latest state, so it reads in batches
// (at most this often) and parses only the last progress line of each batch.
constexpr unsigned WAIT_MS = 250;
constexpr auto MIN_BATCH_INTERVAL = std::chrono::milliseconds(100);


bool IsEventOf(const std::string& strLine, const char* pszKind)
{
    return strLine.find(std::string("\"event\":\"") + pszKind + "\"") != std::string::npos;
}

}  // namespace

std::vector<std::string> FindAllDevicePorts()
{
    const std::vector<Platform::SerialPortEntry> entries = Platform::ListSerialPorts();
    for (const char* pszDriver : {DIAG_PORT_DRIVER, MODEM_PORT_DRIVER}) {
        std::vector<std::string> ports;
        for (const Platform::SerialPortEntry& entry : entries) {
            if (entry.strDeviceName.find(pszDriver) == std::string::npos) {
                continue;
            }
            const std::string strPort = PortArgumentFor(entry);
            if (!strPort.empty()) {
                ports.push_back(strPort);
            }
        }
        if (!ports.empty()) {
            return ports;
        }
    }
    return {};
}

std::vector<std::string> ChildArguments(const FlashOptions& options, const std::string& strPort)
{
    std::vector<std::string> args = {"--port", strPort, "--json"};
    if (!options.strImage.empty()) {
        args.push_back("--image");
        args.push_back(options.strImage);
    }
    if (options.bNoRebuild) {
        args.push_back("--no-rebuild");
    }
    if (!options.strLog.empty()) {
        args.push_back("--log");
        args.push_back(LogPathForPort(options.strLog, strPort));
    }
    return args;
}

int RunSeveralDevices(const FlashOptions& options, const std::vector<std::string>& ports, bool bAll)
{
    if (options.bSimulate) {
        std::fprintf(stderr, "krt-flash: --simulate flashes one simulated device; it excludes --all and several --port\n");
        return EXIT_FLASH_USAGE;
    }
    if (bAll && !ports.empty()) {
        std::fprintf(stderr, "krt-flash: --all and --port exclude each other\n");
        return EXIT_FLASH_USAGE;
    }
    for (size_t i = 0; i < ports.size(); ++i) {
        for (size_t k = 0; k < i; ++k) {
            if (ports[i] == ports[k]) {
                std::fprintf(stderr, "krt-flash: --port %s is given twice\n", ports[i].c_str());
                return EXIT_FLASH_USAGE;
            }
        }
    }
    const std::vector<std::string> found = bAll ? FindAllDevicePorts() : ports;
    if (found.empty()) {
        std::fprintf(stderr, "krt-flash: Error in Finding Com Port!\n");
        return EXIT_FLASH_NO_PORT;
    }
    return RunMultiFlash(options, found);
}

const char* SeveralDevicesHelp()
{
    return "\nProgress: after the first 3 s of writing the display shows the time left (\"about N s left\", from\n"
           "  the average rate since the first block), and a run ends with a summary line: bytes written,\n"
           "  partitions, seconds, KB/s.\n"
           "\nSeveral devices (service benches):\n"
           "  krt-flash --port COM7 --port COM9     flashes both at once, each by a krt-flash of its own\n"
           "  krt-flash --all                       every device port found (qzcdserd, else qzcdmdm)\n"
           "  One line per device shows port, partition, percent, elapsed time and time left. A device that\n"
           "  fails or is unplugged does not stop the others; Ctrl-C stops all of them cleanly. The exit\n"
           "  status is 0 when every device succeeded, else the status of the first failure.\n"
           "  --log run.log writes run-COM7.log, run-COM9.log; --json passes on every device's events.\n"
           "  Times in events and logs are the engine's seconds (real seconds unless KRT_TIME_SCALE is set).\n";
}

int RunMultiFlash(const FlashOptions& options, const std::vector<std::string>& ports)
{
    // Declared first, so it goes last: a console being closed holds this process until the children,
    // which clean up after themselves, have all been collected.
    struct CCleanupSignal {
        ~CCleanupSignal() { Platform::InterruptCleanupDone(); }
    } cleanupSignal;
    // Ctrl-C is noted here and passed on; every child cleans up after itself and the parent waits for all.
    Platform::InstallInterruptHandler();
    const std::string strProgram = OwnProgramPath();
    if (strProgram.empty()) {
        std::fprintf(stderr, "krt-flash: cannot tell where this program is, to start it for every device\n");
        return EXIT_FLASH_OTHER;
    }
    // With --json the board is not drawn; it only keeps each device's outcome.
    FILE* pBoardOut = options.bJson ? nullptr : stdout;
    CDeviceBoard board(pBoardOut, pBoardOut != nullptr && Platform::IsTerminal(stdout), ports);
    CChildProcesses children;
    std::vector<bool> started(ports.size(), false);
    std::vector<std::string> pendingProgress(ports.size());
    std::vector<size_t> failureOrder;
    for (size_t i = 0; i < ports.size(); ++i) {
        std::string strError;
        // A device whose program cannot start fails alone; children are numbered in the order they start.
        if (!children.Start(strProgram, ChildArguments(options, ports[i]), &strError)) {
            board.OnMessage(i, strError);
            board.OnExit(i, EXIT_FLASH_OTHER);
            failureOrder.push_back(i);
            continue;
        }
        started[i] = true;
    }
    std::vector<size_t> deviceOfChild;
    for (size_t i = 0; i < ports.size(); ++i) {
        if (started[i]) {
            deviceOfChild.push_back(i);
        }
    }

    auto fnLine = [&](size_t nChild, std::string strLine) {
        const size_t nDevice = deviceOfChild[nChild];
        if (!strLine.empty() && strLine.back() == '\r') {
            strLine.pop_back();
        }
        if (options.bJson) {
            // Passed on as they come: every child's events carry its port.
            FlashEvent event;
            if (ParseFlashEvent(strLine, &event)) {
                std::printf("%s\n", strLine.c_str());
                if (event.nKind == FLASH_EVENT_DONE) {
                    board.OnEvent(nDevice, event);
                }
            } else {
                board.OnMessage(nDevice, strLine);
                std::fprintf(stderr, "%s: %s\n", ports[nDevice].c_str(), strLine.c_str());
            }
            return;
        }
        if (IsEventOf(strLine, "progress")) {
            pendingProgress[nDevice] = strLine;
            return;
        }
        if (IsEventOf(strLine, "status") && strLine.find("\"Flash Writing") != std::string::npos) {
            return;  // one per block: the percentage says as much
        }
        FlashEvent event;
        if (ParseFlashEvent(strLine, &event)) {
            board.OnEvent(nDevice, event);
        } else {
            board.OnMessage(nDevice, strLine);
        }
    };
    auto fnFlushPending = [&](size_t nDevice) {
        FlashEvent event;
        if (!pendingProgress[nDevice].empty() && ParseFlashEvent(pendingProgress[nDevice], &event)) {
            board.OnEvent(nDevice, event);
        }
        pendingProgress[nDevice].clear();
    };
    auto fnExit = [&](size_t nChild, int nStatus) {
        const size_t nDevice = deviceOfChild[nChild];
        fnFlushPending(nDevice);
        board.OnExit(nDevice, nStatus);
        if (board.ExitStatus(nDevice) != EXIT_FLASH_OK) {
            failureOrder.push_back(nDevice);
        }
    };

    if (!options.bJson) {
        board.Draw();
    }
    const auto runStart = std::chrono::steady_clock::now();
    bool bInterrupted = false;
    bool bRunning = !deviceOfChild.empty();
    while (bRunning) {
        const auto batchStart = std::chrono::steady_clock::now();
        bRunning = children.Wait(WAIT_MS, fnLine, fnExit);
        for (size_t i = 0; i < ports.size(); ++i) {
            fnFlushPending(i);
        }
        if (Platform::InterruptRequested() && !bInterrupted) {
            bInterrupted = true;
            std::fprintf(stderr, "krt-flash: interrupted; every device closes its port and removes its files\n");
            children.Interrupt();
        }
        if (options.bJson) {
            std::fflush(stdout);
        } else {
            board.SetRunSeconds(std::chrono::duration<double>(std::chrono::steady_clock::now() - runStart).count() /
                                Platform::GetTimeScale());
            board.Draw();
        }
        std::this_thread::sleep_until(batchStart + MIN_BATCH_INTERVAL);
    }
    const int nExit = failureOrder.empty() ? EXIT_FLASH_OK : board.ExitStatus(failureOrder.front());
    if (options.bJson) {
        std::fflush(stdout);
        return nExit;
    }
    board.Draw();
    std::printf("\n");
    for (size_t i = 0; i < ports.size(); ++i) {
        std::printf("%s: %s\n", ports[i].c_str(), board.FinalText(i).c_str());
    }
    const size_t nFailed = failureOrder.size();
    std::printf("%zu of %zu devices flashed%s\n", ports.size() - nFailed, ports.size(),
                nFailed == 0 ? "" : "; exit status of the first failure");
    std::fflush(stdout);
    return nExit;
}
