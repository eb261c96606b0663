// krt-devsim: a KRT-P940 in download mode on a pseudo-terminal, for trying the upgrade tool without a
// device. Prints the pty's path, answers the host until the device is reset (or the runs are done, or it is
// interrupted), and can check the flash against the firmware container at the end.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "platform/clock.h"
#include "sim/device_simulator.h"

namespace {

std::atomic<bool> g_bInterrupted{false};

void OnSignal(int)
{
    g_bInterrupted = true;
}

constexpr int EXIT_OK = 0;
constexpr int EXIT_VERIFY_FAILED = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_START_FAILED = 3;

const char* const FAULT_HELP =
    "Faults (each option may be given several times; SEL is first=N (the first N occurrences) or every=K\n"
    "(the K-th, 2K-th, ... occurrence); without SEL every occurrence. KIND is startup, erase, write, close,\n"
    "unlock, rebuild, reset or any; the unlock is the startup command after close-USB):\n"
    "  --no-reply KIND[:SEL]       the command is lost: not carried out, not answered\n"
    "  --status KIND=S[:SEL]       refuse the command with status S (0-255), not carried out\n"
    "  --delay KIND=MS[:SEL]       carry it out and answer MS milliseconds late\n"
    "  --bad-crc KIND[:SEL]        carry it out and answer with a wrong CRC\n"
    "  --split MODE[:SEL]          send replies in pieces, counted over all replies; MODE is\n"
    "                              trailing-flag (the closing flag alone), after-tag (opening flag and\n"
    "                              tag, then the rest), extra-byte[=HH] (one byte after the closing flag,\n"
    "                              0x0A unless given), leading-7f (a 0x7F before the opening flag)\n"
    "  --garbage HEX[:SEL]         send these bytes after replies, e.g. --garbage 00a5:every=3\n"
    "  --unplug-after K            hang up after answering the K-th written block\n"
    "Status bytes of the device: 2 ok, 3 out of order, 4 bad length, 5 out of range, 6 misaligned,\n"
    "7 unit not erased (or programmed twice), 8 unknown command. Frames with a bad CRC are not answered.\n"
    "Exit status: 0 done (verification passed), 1 verification failed, 2 bad options, 3 pty failed.";

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{
        "Simulated KRT-P940 in download mode on a pseudo-terminal. Prints the pty path; point the host at it\n"
        "(e.g. --link $WINEPREFIX/dosdevices/com5 for a Windows program under Wine). After the reset reply the\n"
        "device hangs up; it then exits, or with --runs opens a new pty (and moves the link) for the next run.",
        "krt-devsim"};
    app.footer(FAULT_HELP);

    std::string strLink;
    std::string strVerify;
    bool bTranscript = false;
    int nRuns = 1;
    double dTimeScale = 1.0;
    Sim::SimSettings settings;
    std::vector<std::string> noReply, status, delay, badCrc, split, garbage;

    app.add_option("--link", strLink, "Make PATH a symbolic link to the pty (replaced if it is a link)")->type_name("PATH");
    app.add_option("--runs", nRuns,
                   "Sessions to serve (N): after each hang-up a new pty is opened until N runs ended; 0: until "
                   "interrupted")
        ->default_val(1)
        ->check(CLI::NonNegativeNumber)
        ->type_name("N");
    app.add_flag("--transcript", bTranscript, "Print every frame received and the reply sent, as it happens");
    app.add_option("--verify", strVerify,
                   "At exit compare the flash with this firmware container; exit 1 and list the differences "
                   "when partitions 4 on do not hold their data followed by 0xFF, or 0 to 3 were touched")
        ->type_name("FILE");
    app.add_option("--no-reply", noReply, "KIND[:SEL]: see Faults below")->type_name("SPEC");
    app.add_option("--status", status, "KIND=S[:SEL]: see Faults below")->type_name("SPEC");
    app.add_option("--delay", delay, "KIND=MS[:SEL]: see Faults below")->type_name("SPEC");
    app.add_option("--bad-crc", badCrc, "KIND[:SEL]: see Faults below")->type_name("SPEC");
    app.add_option("--split", split, "MODE[:SEL]: see Faults below")->type_name("SPEC");
    app.add_option("--garbage", garbage, "HEX[:SEL]: see Faults below")->type_name("SPEC");
    app.add_option("--unplug-after", settings.nUnplugAfterWrites, "Hang up after answering the K-th written block")
        ->type_name("K");
    app.add_option("--throttle", settings.nThrottleBytesPerSecond,
                   "Limit both directions to this many bytes per second (e.g. 11520 for 115200 baud)")
        ->type_name("BYTES_PER_S");
    app.add_option("--latency", settings.nLatencyMs, "Wait this long before every reply")->type_name("MS");
    app.add_option("--reboot-ms", settings.nRebootMs, "Time from the reset reply to the hang-up")
        ->default_val(100)
        ->type_name("MS");
    app.add_option("--time-scale", dTimeScale,
                   "Multiply every delay, latency and throttle time by this factor (0.01: a hundred times "
                   "faster)")
        ->default_val(1.0)
        ->check(CLI::PositiveNumber);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // --help ends here too, with 0.
        return app.exit(e) == 0 ? EXIT_OK : EXIT_USAGE;
    }

    const std::pair<const char*, std::vector<std::string>*> faultOptions[] = {
        {"no-reply", &noReply}, {"status", &status}, {"delay", &delay},
        {"bad-crc", &badCrc},   {"split", &split},   {"garbage", &garbage},
    };
    for (const auto& [pszOption, pValues] : faultOptions) {
        for (const std::string& strValue : *pValues) {
            Sim::FaultRule rule;
            std::string strError;
            if (!Sim::ParseFaultRule(pszOption, strValue, &rule, &strError)) {
                std::fprintf(stderr, "krt-devsim: --%s %s: %s\n", pszOption, strValue.c_str(), strError.c_str());
                return EXIT_USAGE;
            }
            settings.faults.push_back(rule);
        }
    }

    std::vector<uint8_t> container;
    if (!strVerify.empty()) {
        std::ifstream file(strVerify, std::ios::binary);
        if (file.is_open()) {
            container.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        }
        if (!file.is_open() || file.bad()) {
            std::fprintf(stderr, "krt-devsim: cannot read %s\n", strVerify.c_str());
            return EXIT_USAGE;
        }
    }

    Platform::SetTimeScale(dTimeScale);
    settings.nRuns = nRuns;
    settings.strLinkPath = strLink;
    if (bTranscript) {
        settings.fnOnEntry = [](const Sim::TranscriptEntry& entry) {
            std::printf("%s\n", Sim::FormatTranscriptEntry(entry).c_str());
            std::fflush(stdout);
        };
    }
    settings.fnOnNewPty = [&strLink](const std::string& strPath) {
        std::printf("krt-devsim: device back on %s%s%s\n", strPath.c_str(), strLink.empty() ? "" : ", link ",
                    strLink.c_str());
        std::fflush(stdout);
    };

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);

    Sim::CDeviceSimulator simulator(settings);
    const std::string strPath = simulator.Start();
    if (strPath.empty()) {
        std::fprintf(stderr, "krt-devsim: cannot open a pty%s%s\n", strLink.empty() ? "" : " or make the link ",
                     strLink.c_str());
        return EXIT_START_FAILED;
    }
    std::printf("krt-devsim: device on %s%s%s\n", strPath.c_str(), strLink.empty() ? "" : ", link ", strLink.c_str());
    for (const Sim::FaultRule& rule : settings.faults) {
        std::printf("krt-devsim: fault: %s\n", Sim::DescribeFaultRule(rule).c_str());
    }
    std::fflush(stdout);

    while (!g_bInterrupted && !simulator.WaitFinished(100)) {
    }
    simulator.Stop();

    const std::vector<Sim::TranscriptEntry> transcript = simulator.GetTranscript();
    int nReplies = 0;
    for (const Sim::TranscriptEntry& entry : transcript) {
        nReplies += entry.nReplyStatus >= 0 ? 1 : 0;
    }
    std::printf("krt-devsim: %zu frames received, %d answered, %d run(s) ended%s\n", transcript.size(), nReplies,
                simulator.GetRunsDone(), g_bInterrupted ? ", interrupted" : "");

    if (!strVerify.empty()) {
        const Sim::VerifyReport report = simulator.Verify(container);
        std::printf("%s", report.Text().c_str());
        if (!report.bOk) {
            std::printf("krt-devsim: verification FAILED against %s\n", strVerify.c_str());
            return EXIT_VERIFY_FAILED;
        }
        std::printf("krt-devsim: verification passed against %s\n", strVerify.c_str());
    }
    return EXIT_OK;
}
