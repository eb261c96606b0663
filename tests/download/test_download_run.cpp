// Whole download runs against the simulated device, time scaled down: the reports the dialog gets, what
// the device ends up with, and what each failure leaves behind.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "cli/exit_codes.h"
#include "download/download_messages.h"
#include "download/engine_state.h"
#include "download/failure_guidance.h"
#include "download/notify.h"
#include "download/run_stop.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/serial_port_map.h"
#include "serial/base_comm.h"
#include "tests/download/download_run_fixture.h"

using Sim::KIND_CLOSE;
using Sim::KIND_ERASE;
using Sim::KIND_REBUILD;
using Sim::KIND_RESET;
using Sim::KIND_STARTUP;
using Sim::KIND_UNLOCK;
using Sim::KIND_WRITE;

namespace {

class DownloadRunTest : public DownloadRunFixture {};

// The reports of one written partition of nBlocks full blocks.
std::vector<Report> PartitionReports(const std::string& strName, int nBlocks)
{
    std::vector<Report> reports = {{NOTIFY_STATUS, "Erase Flash.... [" + strName + "]", 0}, {NOTIFY_PROGRESS, "", 0}};
    const int nSize = nBlocks * 16384;
    for (int i = 0; i < nBlocks; ++i) {
        char szLine[128];
        std::snprintf(szLine, sizeof(szLine), "Flash Writing.... [%s]  %d of %d", strName.c_str(), i * 16384, nSize);
        reports.push_back({NOTIFY_STATUS, szLine, 0});
        reports.push_back({NOTIFY_PROGRESS, "", ((i + 1) * 16384 / 100 * 100) / (nSize / 100)});
    }
    reports.push_back({NOTIFY_STATUS, "Download complete!", 0});
    return reports;
}

void ExpectReports(const std::vector<Report>& actual, const std::vector<Report>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].nCode, expected[i].nCode) << "report " << i;
        EXPECT_EQ(actual[i].strText, expected[i].strText) << "report " << i;
        EXPECT_EQ(actual[i].nPercent, expected[i].nPercent) << "report " << i;
    }
}

}  // namespace

TEST_F(DownloadRunTest, SuccessfulRunReportsEveryStepAndLeavesTheImageInFlash)
{
    StageContainer(BuildContainer(SmallLayout()));
    StartDevice();
    EXPECT_EQ(RunWorker(), 1u);

    std::vector<Report> expected = {{NOTIFY_STATUS, "Download Start", 0},
                                    {NOTIFY_STATUS, "Init ComPort", 0},
                                    {NOTIFY_STATUS, "Done Initializing ComPort", 0},
                                    {NOTIFY_STATUS, "Make partition files of binary", 0},
                                    {NOTIFY_STATUS, "Download Start", 0}};
    for (const Report& r : PartitionReports("APPS4", 3)) {
        expected.push_back(r);
    }
    for (const Report& r : PartitionReports("DATA5", 2)) {
        expected.push_back(r);
    }
    for (const char* psz : {"Rebuilding...", "Wait ! Rebuilding...", "Rebooting phone"}) {
        expected.push_back({NOTIFY_STATUS, psz, 0});
    }
    expected.push_back({NOTIFY_PROGRESS, "", 100});
    expected.push_back({NOTIFY_STATUS, "Software Download Complete.", 0});
    expected.push_back({NOTIFY_FINISHED, "Software Download Complete.", 0});
    ExpectReports(m_reports, expected);

    ASSERT_TRUE(m_pDevice->WaitFinished(2000));
    const Sim::VerifyReport verify = m_pDevice->Verify(m_container);
    EXPECT_TRUE(verify.bOk) << verify.Text();
    ExpectFolderEmpty();
    EXPECT_EQ(g_pComm, nullptr);
    EXPECT_EQ(ExitCodeForFinalText(m_reports.back().strText), EXIT_FLASH_OK);

    // Tags on the wire: startup 0, erase 1, blocks 2, 3, 0 and 2, 3, close 1, unlock 0, rebuild 1, reset 2.
    std::vector<int> tags;
    for (const Sim::TranscriptEntry& entry : m_pDevice->GetTranscript()) {
        tags.push_back(entry.byTag);
    }
    EXPECT_EQ(tags, (std::vector<int>{0, 1, 2, 3, 0, 1, 2, 3, 1, 0, 1, 2}));
}

TEST_F(DownloadRunTest, WithoutRebuildTheRunGoesFromCloseToReset)
{
    StageContainer(BuildContainer(SmallLayout()));
    StartDevice();
    EXPECT_EQ(RunWorker(0), 1u);
    std::vector<Sim::CommandKind> kinds;
    for (const Sim::TranscriptEntry& entry : m_pDevice->GetTranscript()) {
        kinds.push_back(entry.nKind);
    }
    ASSERT_GE(kinds.size(), 2u);
    EXPECT_EQ(kinds[kinds.size() - 2], KIND_CLOSE);
    EXPECT_EQ(kinds.back(), KIND_RESET);
    const std::vector<std::string> statuses = Statuses();
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "Rebuilding..."), 0);
    EXPECT_EQ(statuses[statuses.size() - 2], "Rebooting phone");
}

// One failure of the run: its text, its exit status, and that the port and the files are cleaned up.
struct FailureCase {
    const char* pszName;
    std::vector<Sim::FaultRule> faults;
    std::string strText;
    FlashExitCode nExit;
};

class DownloadFailureTest : public DownloadRunFixture, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DownloadFailureTest, EndsWithTheMessageAndCleansUp)
{
    const FailureCase& param = GetParam();
    StageContainer(BuildContainer(SmallLayout()));
    StartDevice(param.faults);
    EXPECT_EQ(RunWorker(), 0u);
    ExpectFinalReports(param.strText);
    EXPECT_EQ(ExitCodeForFinalText(param.strText), param.nExit);
    ExpectFolderEmpty();
    ExpectPortFree();
    EXPECT_EQ(PortNotOpened, 0);
}

INSTANTIATE_TEST_SUITE_P(
    FailureTable, DownloadFailureTest,
    ::testing::Values(
        FailureCase{"StartupUnanswered", {DownloadRunFixture::Rule(Sim::FAULT_NO_REPLY, KIND_STARTUP)},
                    "Unable to get a response for the Startup Command. Upgrade aborted.", EXIT_FLASH_NO_RESPONSE},
        FailureCase{"StartupRefused", {DownloadRunFixture::Rule(Sim::FAULT_STATUS, KIND_STARTUP, 1)},
                    "Unrecognized Response. Unrecognized ACK Value: 1.", EXIT_FLASH_REFUSED},
        FailureCase{"EraseFailsTwice", {DownloadRunFixture::Rule(Sim::FAULT_NO_REPLY, KIND_ERASE)},
                    "Flash download error!", EXIT_FLASH_FLASH_ERROR},
        FailureCase{"WriteFailsTwice", {DownloadRunFixture::Rule(Sim::FAULT_STATUS, KIND_WRITE, 7)},
                    "Flash download error!", EXIT_FLASH_FLASH_ERROR},
        FailureCase{"CloseUsbFails", {DownloadRunFixture::Rule(Sim::FAULT_NO_REPLY, KIND_CLOSE)},
                    "Error in Executing Download!Close USB Failed. Code 2", EXIT_FLASH_END_STEPS},
        FailureCase{"UnlockFails", {DownloadRunFixture::Rule(Sim::FAULT_NO_REPLY, KIND_UNLOCK)},
                    "Error Trying to Unlock USB!", EXIT_FLASH_END_STEPS},
        FailureCase{"RebuildFails", {DownloadRunFixture::Rule(Sim::FAULT_STATUS, KIND_REBUILD, 9)},
                    "Error in Sending Rebuild CMD!", EXIT_FLASH_END_STEPS},
        FailureCase{"ResetFails", {DownloadRunFixture::Rule(Sim::FAULT_NO_REPLY, KIND_RESET)},
                    "Unable to Reset Phone!", EXIT_FLASH_END_STEPS}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.pszName); });

TEST_F(DownloadRunTest, RetriesRecoverFromSingleFailures)
{
    // Every step loses its first command (or its first reply is refused); the retries carry the run.
    StageContainer(BuildContainer(SmallLayout()));
    StartDevice({Rule(Sim::FAULT_NO_REPLY, KIND_STARTUP, 0, 4), Rule(Sim::FAULT_NO_REPLY, KIND_ERASE, 0, 1),
                 Rule(Sim::FAULT_STATUS, KIND_WRITE, 7, 1), Rule(Sim::FAULT_NO_REPLY, KIND_CLOSE, 0, 2),
                 Rule(Sim::FAULT_NO_REPLY, KIND_UNLOCK, 0, 2), Rule(Sim::FAULT_NO_REPLY, KIND_REBUILD, 0, 1),
                 Rule(Sim::FAULT_NO_REPLY, KIND_RESET, 0, 1)});
    EXPECT_EQ(RunWorker(), 1u);
    EXPECT_EQ(m_reports.back().strText, "Software Download Complete.");
    ASSERT_TRUE(m_pDevice->WaitFinished(2000));
    EXPECT_TRUE(m_pDevice->Verify(m_container).bOk);
}

TEST_F(DownloadRunTest, LateReplyDoesNotPassForTheNextCommands)
{
    // The first block is answered after its time-out (2500 > 2000 ms) and sent again; the device answers
    // both. The extra reply must not be taken for the next command's: here the refused reset has to fail.
    StageContainer(BuildContainer(SmallLayout()));
    StartDevice({Rule(Sim::FAULT_DELAY, KIND_WRITE, 2500, 1), Rule(Sim::FAULT_STATUS, KIND_RESET, 5)}, 100);
    EXPECT_EQ(RunWorker(), 0u);
    ExpectFinalReports("Unable to Reset Phone!");
    EXPECT_EQ(ExitCodeForFinalText(MessageText), EXIT_FLASH_END_STEPS);
}

TEST_F(DownloadRunTest, LateReplyIsWaitedOutAndTheRunCompletes)
{
    StageContainer(BuildContainer(SmallLayout()));
    StartDevice({Rule(Sim::FAULT_DELAY, KIND_WRITE, 2500, 1), Rule(Sim::FAULT_DELAY, KIND_ERASE, 3500, 1)}, 100);
    EXPECT_EQ(RunWorker(), 1u);
    ASSERT_TRUE(m_pDevice->WaitFinished(2000));
    const Sim::VerifyReport verify = m_pDevice->Verify(m_container);
    EXPECT_TRUE(verify.bOk) << verify.Text();
}

// A stop (closing the wizard, Ctrl-C in the flasher) at full speed: the reply wait in progress ends at
// once, the pause after it too, and the run ends as a failed one does. The clock stays as it was.
TEST_F(DownloadRunTest, StopEndsTheWaitInProgressAndLeavesTheClockAlone)
{
    Platform::SetTimeScale(1.0);
    StageContainer(BuildContainer(SmallLayout()));
    StartDevice({Rule(Sim::FAULT_NO_REPLY, KIND_STARTUP)});  // unstopped, 5 x (5000 + 3000) ms
    std::thread stopper;
    std::atomic<int64_t> nStopMs{0};
    int nStarts = 0;
    m_fnOnReport = [&](const Report& report) {
        // The second "Download Start" goes out just before the startup command.
        if (report.strText == "Download Start" && ++nStarts == 2) {
            stopper = std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                nStopMs = Platform::MonotonicMs();
                RequestRunStop();
            });
        }
    };
    EXPECT_EQ(RunWorker(), 0u);
    const int64_t nEndMs = Platform::MonotonicMs();
    stopper.join();
    EXPECT_LT(nEndMs - nStopMs, 1000) << "the stop did not end the wait";
    EXPECT_EQ(Platform::GetTimeScale(), 1.0);
    ExpectFinalReports("Unable to get a response for the Startup Command. Upgrade aborted.");
    EXPECT_EQ(m_pDevice->GetTranscript().size(), 1u);  // no attempt after the stop
    ExpectPortFree();
    ExpectFolderEmpty();
}

TEST_F(DownloadRunTest, NoPortFoundLeavesThePortAlone)
{
    StageContainer(BuildContainer(SmallLayout()));
    EXPECT_EQ(RunWorker(), 0u);
    EXPECT_EQ(Statuses(), (std::vector<std::string>{"Download Start", "Error in Finding Com Port!"}));
    ExpectFinalReports("Error in Finding Com Port!");
    EXPECT_EQ(ExitCodeForFinalText(MessageText), EXIT_FLASH_NO_PORT);
    EXPECT_EQ(g_pComm, nullptr);
    EXPECT_EQ(PortNotOpened, 0);  // the worker clears it
    ExpectFolderEmpty();
}

TEST_F(DownloadRunTest, PortThatCannotBeOpened)
{
    StageContainer(BuildContainer(SmallLayout()));
    m_nPort = Platform::RegisterSerialPort("\\Device\\qzcdserd0", m_strFolder + "no-such-tty");
    DetectedPort = static_cast<uint8_t>(m_nPort);
    EXPECT_EQ(RunWorker(), 0u);
    EXPECT_EQ(Statuses(), (std::vector<std::string>{"Download Start", "Init ComPort", "Cannot Open ComPort!",
                                                    "Cannot Open ComPort!"}));
    ExpectFinalReports("Cannot Open ComPort!");
    EXPECT_EQ(ExitCodeForFinalText(MessageText), EXIT_FLASH_PORT_SETUP);
    ExpectFolderEmpty();
}

TEST_F(DownloadRunTest, InvalidImageIsRejectedBeforeAnyCommand)
{
    std::vector<uint8_t> container = BuildContainer(SmallLayout());
    container[3] = 'k';  // "LOCkPCHD"
    StageContainer(container);
    StartDevice();
    EXPECT_EQ(RunWorker(), 0u);
    ExpectFinalReports("Binary Selected is not a valid KVZ Binary. It does not begin as a firmware container does.");
    EXPECT_EQ(ExitCodeForFinalText(MessageText), EXIT_FLASH_BAD_IMAGE);
    EXPECT_TRUE(m_pDevice->GetTranscript().empty());
    ExpectFolderEmpty();
    ExpectPortFree();

    // A corrupted page is caught by the digest, before the device is touched.
    m_reports.clear();
    container = BuildContainer(SmallLayout());
    container[container.size() - 100] ^= 0x01;
    StageContainer(container);
    EXPECT_EQ(RunWorker(), 0u);
    ExpectFinalReports("Binary Selected is not a valid KVZ Binary. Its page data do not match the digest in its header.");
    EXPECT_TRUE(m_pDevice->GetTranscript().empty());

    // A flash layout that would erase a neighbour: a partition that reaches into the one before it, and
    // one that carries more blocks than its region holds. Refused before the device hears anything.
    ContainerLayout layout = SmallLayout();
    layout.m_partitions.back().m_dwStartBlock = layout.m_partitions[layout.m_partitions.size() - 2].m_dwEndBlock;
    m_reports.clear();
    StageContainer(BuildContainer(layout));
    EXPECT_EQ(RunWorker(), 0u);
    EXPECT_NE(MessageText.find("Binary Selected is not a valid KVZ Binary. Partitions "), std::string::npos) << MessageText;
    EXPECT_NE(MessageText.find("overlap in flash"), std::string::npos) << MessageText;
    EXPECT_EQ(ExitCodeForFinalText(MessageText), EXIT_FLASH_BAD_IMAGE);
    layout = SmallLayout();
    PartitionSpec& last = layout.m_partitions.back();
    last.m_dwEndBlock = last.m_dwStartBlock + last.m_dwBlockCount - 2;
    m_reports.clear();
    StageContainer(BuildContainer(layout));
    EXPECT_EQ(RunWorker(), 0u);
    EXPECT_NE(MessageText.find("more than its flash region"), std::string::npos) << MessageText;
    EXPECT_TRUE(m_pDevice->GetTranscript().empty());
    ExpectFolderEmpty();
}

TEST_F(DownloadRunTest, MissingPartitionFile)
{
    StageContainer(BuildContainer(SmallLayout()));
    StartDevice();
    int nStarts = 0;
    m_fnOnReport = [&](const Report& report) {
        // The second "Download Start" comes after the partition files were made.
        if (report.strText == "Download Start" && ++nStarts == 2) {
            Platform::DeleteFileAt("DATA5");
        }
    };
    EXPECT_EQ(RunWorker(), 0u);
    const std::vector<std::string> statuses = Statuses();
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "ERR: No File"), statuses.end());
    ExpectFinalReports("Flash download error!");
    ExpectFolderEmpty();
    ExpectPortFree();
}

TEST_F(DownloadRunTest, PartitionFilesThatDoNotFitTheDiskNameTheFolderNotTheImage)
{
    StageContainer(BuildContainer(SmallLayout()));
    StartDevice();
    // A file-size limit stands in for a full disk: every partition file fits, APPS (48 KiB) does not.
    Platform::SurviveFailedWrites();
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = 40000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const unsigned nResult = RunWorker();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &saved), 0);

    EXPECT_EQ(nResult, 0u);
    const std::string strFinal = "Cannot write the partition files to " + m_strFolder + ": " + std::strerror(EFBIG);
    ExpectFinalReports(strFinal);
    EXPECT_EQ(ExitCodeForFinalText(strFinal), EXIT_FLASH_DISK);
    EXPECT_TRUE(m_pDevice->GetTranscript().empty()) << "nothing is flashed from incomplete partition files";
    ExpectFolderEmpty();
    ExpectPortFree();
}

TEST(FailureGuidance, EachKindOfFailureGetsItsOwnAdvice)
{
    struct Case {
        const char* pszFinal;
        bool bDeviceThere;
        FailureKind nKind;
        const char* pszAdvice;  // words the advice must hold
    };
    const Case cases[] = {
        {"Software Download Complete.", true, FAILURE_NONE, ""},
        {"Error in Finding Com Port!", false, FAILURE_NO_PORT, "download mode"},
        {"Cannot Open ComPort!", true, FAILURE_NO_PORT, "other programs"},
        {"Unable to get a response for the Startup Command. Upgrade aborted.", true, FAILURE_NO_ANSWER,
         "not in download mode"},
        {"Unrecognized Response. Unrecognized ACK Value: 3.", true, FAILURE_STARTUP_REFUSED, "battery"},
        {"Error in Erasing Flash!", true, FAILURE_WRITE, "not a hub"},
        {"Error in Writing Flash!", true, FAILURE_WRITE, "another USB cable"},
        {"Flash download error!", true, FAILURE_WRITE, "USB port on the PC itself"},
        {"Error in Writing Flash!", false, FAILURE_DEVICE_GONE, "disconnected"},
        {"Error in Executing Download!Close USB Failed. Code 1", true, FAILURE_END_STEP, "from the start"},
        {"Unable to Reset Phone!", true, FAILURE_END_STEP, "from the start"},
        {"Cannot write the partition files to C:\\Temp: No space left on device", true, FAILURE_TEMP_FULL, "200 MB"},
        {"Event Error!", true, FAILURE_OTHER, "contact support"},
    };
    for (const Case& c : cases) {
        const FailureKind nKind = ClassifyFailure(c.pszFinal, c.bDeviceThere);
        EXPECT_EQ(nKind, c.nKind) << c.pszFinal;
        EXPECT_NE(std::string(FailureGuidance(nKind)).find(c.pszAdvice), std::string::npos) << c.pszFinal;
    }
    EXPECT_NE(std::string(FailureGuidance(FAILURE_DRIVER)).find("driver"), std::string::npos);
}
