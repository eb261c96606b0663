// krt-flash: the upgrade tool's engine on the command line, for technicians, scripts and Linux users.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "krt_version.h"
#include "cli/driver_commands.h"
#include "cli/exit_codes.h"
#include "cli/flash_run.h"
#include "cli/multi_flash.h"
#include "cli/run_reports.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "serial/base_comm.h"

namespace {

constexpr const char* TOOL_VERSION = KRT_VERSION_TEXT;

// KRT_TIME_SCALE scales every sleep and time-out of the engine; it exists for runs against the
// simulated device and is never needed with a real one.
bool ApplyTimeScale()
{
    if (!Platform::SetTimeScaleFromEnvironment()) {
        std::fprintf(stderr, "krt-flash: KRT_TIME_SCALE must be a number above 0 (got '%s')\n",
                     std::getenv("KRT_TIME_SCALE"));
        return false;
    }
    return true;
}

// "COM7" or "\\.\COM7": a Windows port name, not a path.
bool IsComPortName(const std::string& strPort)
{
    std::string strName = strPort.rfind("\\\\.\\", 0) == 0 ? strPort.substr(4) : strPort;
    if (strName.size() < 4 || (strName[0] != 'C' && strName[0] != 'c') || (strName[1] != 'O' && strName[1] != 'o') ||
        (strName[2] != 'M' && strName[2] != 'm')) {
        return false;
    }
    return strName.find_first_not_of("0123456789", 3) == std::string::npos;
}

// COM0 and anything above COM128 pass for port names but the engine can never open them.
bool IsOpenableComPort(const std::string& strPort)
{
    const std::string strDigits = strPort.substr(strPort.find_first_of("0123456789"));
    const std::string::size_type nFirst = strDigits.find_first_not_of('0');
    return nFirst != std::string::npos && strDigits.size() - nFirst <= 3 &&
           std::stoi(strDigits.substr(nFirst)) <= LAST_COM_PORT;
}

}  // namespace

int main(int argc, char** argv)
{
    // Every run stages into a folder of its own, so it never touches the wizard's files or another
    // flasher's; folders that killed runs left behind go first.
    Platform::RemoveOrphanedTempFolders();
    Platform::UsePrivateTempFolder();
    CLI::App app{"krt-flash: writes the firmware of a KRT-P940 mobile hotspot in download mode over its "
                 "USB serial port.\nWithout options it flashes the embedded firmware image into the device "
                 "found on the qzcdserd (diagnostic) or qzcdmdm (modem) port."};
    app.footer(std::string(ExitCodeHelp()) +
               "\nEnvironment:\n"
               "  KRT_TIME_SCALE  factor for every sleep and time-out of the engine (default 1); for testing\n"
               "                  with the simulated device only, e.g. 0.1 runs the retry paths 10x faster. A\n"
               "                  reply later than its scaled time-out passes for the next command's, so keep\n"
               "                  the time-outs (2000 ms for a block) above what a busy machine needs\n" +
               std::string(SeveralDevicesHelp()));
    FlashOptions options;
    bool bInfo = false;
    bool bVersion = false;
    bool bCheckDriver = false;
    bool bInstallDriver = false;
    app.add_option("--image", options.strImage, "Flash this firmware container file instead of the embedded image")
        ->check(CLI::ExistingFile);
    std::vector<std::string> ports;
    bool bAll = false;
    app.add_option("--port", ports,
                   "Serial device of the KRT-P940: a path such as /dev/ttyUSB0 on Linux, COMn on Windows "
                   "(default: discovered). Give it more than once to flash several devices at once");
    app.add_flag("--all", bAll,
                 "Flash every device port found at once: every qzcdserd port, else every qzcdmdm port");
    app.add_flag("--json", options.bJson,
                 "Print one JSON object per line on standard output instead of the text display: status, "
                 "progress (percent, partition, bytes, elapsed_s, eta_s) and done (text, exit, seconds)");
    app.add_option("--log", options.strLog,
                   "Append a timestamped record of the run to FILE for support: tool, host, port, image size "
                   "and MD5, every command with its reply and round-trip time, retries, time-outs, the final "
                   "text. With several devices one file each, the port inserted before the extension "
                   "(run.log: run-COM7.log)")
        ->type_name("FILE");
    app.add_flag("--simulate", options.bSimulate,
                 "Start a simulated KRT-P940 in this process, flash it and verify its flash against the image "
                 "(Linux)");
    app.add_flag("--no-rebuild", options.bNoRebuild, "Skip the unlock and rebuild steps at the end of the download");
    app.add_flag("--info", bInfo, "Print the image's partition table and exit");
    app.add_flag("--check-driver", bCheckDriver, "Report whether the device's USB driver is installed (Windows)");
    app.add_flag("--install-driver", bInstallDriver,
                 "Check for the device's USB driver and install it from the embedded package if missing (Windows)");
    app.add_flag("--version", bVersion, "Print the tool version and exit");
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return EXIT_FLASH_USAGE;
    }

    // A console program shows no message boxes: their texts go to standard error.
    Platform::SetMessageSink([](const std::string& strText, const std::string& strCaption) {
        if (strCaption.empty()) {
            std::fprintf(stderr, "krt-flash: %s\n", strText.c_str());
        } else {
            std::fprintf(stderr, "krt-flash: %s: %s\n", strCaption.c_str(), strText.c_str());
        }
    });

    if (bVersion) {
        std::printf("krt-flash %s\n", TOOL_VERSION);
        return EXIT_FLASH_OK;
    }
    if (!ApplyTimeScale()) {
        return EXIT_FLASH_USAGE;
    }
    if (bCheckDriver || bInstallDriver) {
        return RunDriverCommand(bInstallDriver);
    }
    if (bInfo) {
        return PrintImageInfo(options.strImage);
    }
    // Every port is checked before any device is touched, also when several are flashed at once.
    for (const std::string& strPort : ports) {
        if (IsComPortName(strPort) && !IsOpenableComPort(strPort)) {
            std::fprintf(stderr, "krt-flash: --port %s: only COM1 to COM%d can be opened\n", strPort.c_str(),
                         LAST_COM_PORT);
            return EXIT_FLASH_USAGE;
        }
    }
    if (bAll || ports.size() > 1) {
        return RunSeveralDevices(options, ports, bAll);
    }
    if (!ports.empty()) {
        options.strPort = ports.front();
    }
    if (options.bSimulate && !options.strPort.empty()) {
        std::fprintf(stderr, "krt-flash: --simulate and --port exclude each other\n");
        return EXIT_FLASH_USAGE;
    }
    // Staging changes the current folder: relative names must be resolved first.
    if (!options.strImage.empty()) {
        options.strImage = Platform::AbsolutePath(options.strImage);
    }
    if (!options.strPort.empty() && !IsComPortName(options.strPort)) {
        options.strPort = Platform::AbsolutePath(options.strPort);
    }
    std::string strError;
    if (!BeginRunReports(options, TOOL_VERSION, &strError)) {
        std::fprintf(stderr, "krt-flash: %s\n", strError.c_str());
        return EXIT_FLASH_USAGE;
    }
    const int nExit = RunFlash(options);
    EndRunReports(nExit);
    return nExit;
}
