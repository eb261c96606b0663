// The flasher's reports as a bench sees them: log records and file names, JSON lines, the time left, the
// devices' board.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/device_board.h"
#include "cli/eta.h"
#include "download/write_rate.h"
#include "cli/json_events.h"
#include "cli/run_log.h"
#include "download/protocol.h"

namespace {

std::string ReadFile(const std::string& strPath)
{
    std::ifstream file(strPath);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string TempPath(const char* pszName)
{
    return ::testing::TempDir() + pszName;
}

std::vector<uint8_t> WritePayload(uint32_t dwAddress)
{
    std::vector<uint8_t> payload(WRITE_PAYLOAD_SIZE, 0xFF);
    payload[0] = CMD_WRITE;
    payload[1] = static_cast<uint8_t>(dwAddress);
    payload[2] = static_cast<uint8_t>(dwAddress >> 8);
    payload[3] = static_cast<uint8_t>(dwAddress >> 16);
    payload[4] = static_cast<uint8_t>(dwAddress >> 24);
    payload[5] = 0x00;
    payload[6] = 0x40;
    return payload;
}

const uint8_t REPLY_OK_BYTES[] = {0x00, ACK_OK, 0x12, 0x34};
const uint8_t REPLY_REFUSED_BYTES[] = {0x00, 7, 0x12, 0x34};

}  // namespace

TEST(RunLogTest, RecordsEveryAttemptWithItsOutcomeAndNumbersRetries)
{
    const std::string strPath = TempPath("krt_run_log_attempts.log");
    std::remove(strPath.c_str());
    CRunLog log;
    std::string strError;
    ASSERT_TRUE(log.Open(strPath, &strError)) << strError;

    const std::vector<uint8_t> block = WritePayload(0x00800000);
    log.OnCommandSent(2, block.data(), static_cast<uint32_t>(block.size()));
    log.OnReplyWaited(2000, REPLY_TIMEOUT, REPLY_OK_BYTES, 0);
    log.OnCommandSent(2, block.data(), static_cast<uint32_t>(block.size()));  // the same block again
    log.OnReplyWaited(2000, REPLY_OK, REPLY_OK_BYTES, sizeof(REPLY_OK_BYTES));
    const std::vector<uint8_t> next = WritePayload(0x00804000);
    log.OnCommandSent(3, next.data(), static_cast<uint32_t>(next.size()));
    log.OnReplyWaited(2000, REPLY_OK, REPLY_REFUSED_BYTES, sizeof(REPLY_REFUSED_BYTES));
    // A reply owed for an earlier attempt, waited out with no command outstanding.
    log.OnReplyWaited(2000, REPLY_OK, REPLY_OK_BYTES, sizeof(REPLY_OK_BYTES));
    const uint8_t erase[ERASE_PAYLOAD_SIZE] = {CMD_ERASE, 0x00, 0x00, 0x7E, 0x00, 0x00, 0x00, 0x1C, 0x00, 0, 0};
    log.OnCommandSent(1, erase, sizeof(erase));
    log.OnReplyWaited(3000, REPLY_OK, REPLY_OK_BYTES, sizeof(REPLY_OK_BYTES));
    const uint8_t startup[STARTUP_PAYLOAD_SIZE] = {CMD_STARTUP};
    log.OnCommandSent(0, startup, sizeof(startup));  // the run ends before its wait
    log.Close();

    const std::string strLog = ReadFile(strPath);
    EXPECT_NE(strLog.find("Z write tag=2 address=0x00800000 length=16384 attempt=1 -> time-out after 2000 ms\n"),
              std::string::npos) << strLog;
    EXPECT_NE(strLog.find(" write tag=2 address=0x00800000 length=16384 attempt=2 (retry) -> status=2 ok rtt="),
              std::string::npos) << strLog;
    EXPECT_NE(strLog.find(" write tag=3 address=0x00804000 length=16384 attempt=1 -> status=7 refused rtt="),
              std::string::npos) << strLog;
    EXPECT_NE(strLog.find(" late reply: status=2 ok\n"), std::string::npos) << strLog;
    // After a refused block the next command is a first attempt again: a different command.
    EXPECT_NE(strLog.find(" erase tag=1 address=0x007E0000 length=1835008 attempt=1 -> status=2 ok"),
              std::string::npos) << strLog;
    EXPECT_NE(strLog.find(" startup tag=0 payload=1 attempt=1 -> no reply waited for\n"), std::string::npos) << strLog;
    // Every record starts with a UTC time stamp with milliseconds.
    std::istringstream lines(strLog);
    std::string strLine;
    int nLines = 0;
    while (std::getline(lines, strLine)) {
        ++nLines;
        ASSERT_GE(strLine.size(), 25u);
        EXPECT_EQ(strLine[4], '-') << strLine;
        EXPECT_EQ(strLine[10], 'T') << strLine;
        EXPECT_EQ(strLine.substr(19, 1), ".") << strLine;
        EXPECT_EQ(strLine.substr(23, 2), "Z ") << strLine;
    }
    EXPECT_EQ(nLines, 6);
}

TEST(RunLogTest, AppendsToAnExistingFileAndReportsOneItCannotOpen)
{
    const std::string strPath = TempPath("krt_run_log_append.log");
    {
        std::ofstream existing(strPath, std::ios::trunc);
        existing << "an earlier run\n";
    }
    CRunLog log;
    std::string strError;
    ASSERT_TRUE(log.Open(strPath, &strError));
    log.Write("second run");
    log.Close();
    const std::string strLog = ReadFile(strPath);
    EXPECT_EQ(strLog.rfind("an earlier run\n", 0), 0u) << strLog;
    EXPECT_NE(strLog.find(" second run\n"), std::string::npos) << strLog;

    CRunLog bad;
    EXPECT_FALSE(bad.Open(TempPath("no-such-folder/x/run.log"), &strError));
    EXPECT_NE(strError.find("no-such-folder"), std::string::npos);
}

TEST(RunLogTest, PerDeviceNamesCarryThePortBeforeTheExtension)
{
    EXPECT_EQ(LogPathForPort("run.log", "COM7"), "run-COM7.log");
    EXPECT_EQ(LogPathForPort("/var/log/bench/run.log", "/dev/ttyUSB0"), "/var/log/bench/run-ttyUSB0.log");
    EXPECT_EQ(LogPathForPort("C:\\logs\\run.txt", "\\\\.\\COM12"), "C:\\logs\\run-COM12.txt");
    // A dot in a folder's name or at the start of the file's name is no extension.
    EXPECT_EQ(LogPathForPort("logs.d/run", "COM3"), "logs.d/run-COM3");
    EXPECT_EQ(LogPathForPort(".krtlog", "COM3"), ".krtlog-COM3");
    // Nothing of the port can lead the name into another folder or make it invalid.
    EXPECT_EQ(LogPathForPort("run.log", "odd port:1*"), "run-odd_port_1_.log");
    EXPECT_EQ(LogPathForPort("run.log", "../../etc"), "run-etc.log");
}

TEST(WriteRateTest, EstimatesFromTheAverageSinceTheFirstBlockAfterThreeSeconds)
{
    CWriteRate rate;
    rate.SetTotal(1000000);
    rate.Begin(10000);
    rate.Update(100000, 12000);
    EXPECT_LT(rate.SecondsLeft(12000), 0.0);  // too early
    rate.Update(300000, 13000);
    // 300000 bytes in 3 s: 100000 B/s, 700000 bytes left.
    EXPECT_DOUBLE_EQ(rate.SecondsLeft(13000), 7.0);
    EXPECT_DOUBLE_EQ(rate.BytesPerSecond(13000), 100000.0);
    // Within the second the shown value holds, whatever the last block did.
    rate.Update(310000, 13900);
    EXPECT_DOUBLE_EQ(rate.SecondsLeft(13900), 7.0);
    // A slow last block moves the average only a little: 310000 bytes in 4 s.
    rate.Update(310000, 14000);
    EXPECT_NEAR(rate.SecondsLeft(14000), 690000.0 / 77500.0, 1e-9);
    // Everything written: no estimate is held back for the rest of the second.
    rate.Update(900000, 19000);
    EXPECT_GT(rate.SecondsLeft(19000), 0.0);
    rate.Update(1000000, 19500);
    EXPECT_DOUBLE_EQ(rate.SecondsLeft(19500), 0.0);
}

TEST(WriteRateTest, NoEstimateWithoutWritingOrProgress)
{
    CWriteRate rate;
    rate.SetTotal(5000);
    EXPECT_LT(rate.SecondsLeft(100000), 0.0);  // never begun
    rate.Begin(0);
    EXPECT_LT(rate.SecondsLeft(10000), 0.0);  // nothing written yet: no rate to go by
    EXPECT_EQ(rate.BytesPerSecond(0), 0.0);
}

TEST(WriteRateTest, Texts)
{
    EXPECT_EQ(FormatTimeLeft(-1.0), "");
    EXPECT_EQ(FormatTimeLeft(0.2), "");
    EXPECT_EQ(FormatTimeLeft(42.4), "about 42 s left");
    EXPECT_EQ(FormatTimeLeft(185.0), "about 3 min 5 s left");
    EXPECT_EQ(FormatWriteSummary(62914560, 4, 5461.0), "Wrote 62914560 bytes in 4 partitions in 5461 s (11.3 KB/s)");
    EXPECT_EQ(FormatWriteSummary(16384, 1, 0.0), "Wrote 16384 bytes in 1 partition in 0 s (0.0 KB/s)");
}

TEST(JsonEventsTest, LinesAsABenchReadsThem)
{
    FlashEvent progress;
    progress.nKind = FLASH_EVENT_PROGRESS;
    progress.strPort = "COM7";
    progress.nPercent = 32;
    progress.strPartition = "AMSS4";
    progress.nBytesDone = 16384;
    progress.nBytesTotal = 50000;
    progress.dElapsedSeconds = 12.345;
    EXPECT_EQ(FormatFlashEvent(progress),
              "{\"event\":\"progress\",\"port\":\"COM7\",\"percent\":32,\"partition\":\"AMSS4\",\"bytes_done\":16384,"
              "\"bytes_total\":50000,\"elapsed_s\":12.3,\"eta_s\":null}");
    progress.dEtaSeconds = 99.6;
    FlashEvent back;
    ASSERT_TRUE(ParseFlashEvent(FormatFlashEvent(progress), &back));
    EXPECT_EQ(back.nKind, FLASH_EVENT_PROGRESS);
    EXPECT_EQ(back.strPartition, "AMSS4");
    EXPECT_EQ(back.nBytesTotal, 50000u);
    EXPECT_DOUBLE_EQ(back.dEtaSeconds, 100.0);

    FlashEvent done;
    done.nKind = FLASH_EVENT_DONE;
    done.strPort = "/dev/ttyUSB0";
    done.strText = "Error in Writing \"Flash\"!";
    done.nExit = 8;
    done.dSeconds = 61.04;
    EXPECT_EQ(FormatFlashEvent(done), "{\"event\":\"done\",\"port\":\"/dev/ttyUSB0\",\"text\":\"Error in Writing "
                                      "\\\"Flash\\\"!\",\"exit\":8,\"seconds\":61.0}");
    ASSERT_TRUE(ParseFlashEvent(FormatFlashEvent(done), &back));
    EXPECT_EQ(back.strText, done.strText);
    EXPECT_EQ(back.nExit, 8);
}

TEST(JsonEventsTest, AnythingElseIsNoEvent)
{
    FlashEvent event;
    EXPECT_FALSE(ParseFlashEvent("krt-flash: Cannot Open binary file!", &event));
    EXPECT_FALSE(ParseFlashEvent("{\"event\":\"progress\",\"percent\":\"ten\"}", &event));
    EXPECT_FALSE(ParseFlashEvent("{\"event\":\"reboot\"}", &event));
    EXPECT_FALSE(ParseFlashEvent("[1,2]", &event));
    EXPECT_FALSE(ParseFlashEvent("", &event));
    // A text with a byte that is no UTF-8 still makes a line of JSON.
    FlashEvent status;
    status.strText = std::string("bad \xff byte");
    ASSERT_TRUE(ParseFlashEvent(FormatFlashEvent(status), &event));
    EXPECT_EQ(event.nKind, FLASH_EVENT_STATUS);
}

TEST(DeviceBoardTest, PlainOutputPrintsChangesAndKeepsEveryOutcome)
{
    FILE* pOut = std::tmpfile();
    ASSERT_NE(pOut, nullptr);
    CDeviceBoard board(pOut, false, {"COM7", "COM12"});
    board.Draw();
    FlashEvent status;
    status.strText = "Erase Flash.... [AMSS4]";
    board.OnEvent(0, status);
    status.strText = "Flash Writing.... [AMSS4]  16384 of 50000";  // per block: says nothing new
    board.OnEvent(0, status);
    FlashEvent progress;
    progress.nKind = FLASH_EVENT_PROGRESS;
    progress.strPartition = "AMSS4";
    progress.nPercent = 41;
    progress.dElapsedSeconds = 75.0;
    progress.dEtaSeconds = 130.0;
    board.OnEvent(0, progress);
    board.Draw();
    progress.nPercent = 43;  // the same tens of percent: no new line
    board.OnEvent(0, progress);
    board.Draw();
    EXPECT_EQ(board.Line(0), "COM7   AMSS4   43%  01:15  Flash Writing.... [AMSS4], about 2 min 10 s left");
    // The clock of a running device goes on between its events.
    board.SetRunSeconds(80.0);
    EXPECT_EQ(board.Line(0), "COM7   AMSS4   43%  01:20  Flash Writing.... [AMSS4], about 2 min 10 s left");

    FlashEvent done;
    done.nKind = FLASH_EVENT_DONE;
    done.strText = "Software Download Complete.";
    done.dSeconds = 200.0;
    board.OnEvent(0, done);
    board.OnExit(0, 0);
    // The other device's program ends without its final event: its last message and status stand.
    board.OnMessage(1, "krt-flash: Cannot Open binary file!");
    board.OnExit(1, 5);
    board.Draw();
    EXPECT_EQ(board.ExitStatus(0), 0);
    EXPECT_EQ(board.ExitStatus(1), 5);
    EXPECT_EQ(board.FinalText(1), "krt-flash: Cannot Open binary file!");
    // Killed by a signal after a clean "done": the process's status is the last word.
    CDeviceBoard crashed(nullptr, false, {"COM3"});
    crashed.OnEvent(0, done);
    crashed.OnExit(0, 139);
    EXPECT_EQ(crashed.ExitStatus(0), 139);
    CDeviceBoard silent(nullptr, false, {"COM4"});
    silent.OnExit(0, 0);
    EXPECT_NE(silent.ExitStatus(0), 0);  // no result is no success

    std::rewind(pOut);
    std::string strText;
    char buffer[512];
    while (std::fgets(buffer, sizeof(buffer), pOut) != nullptr) {
        strText += buffer;
    }
    std::fclose(pOut);
    EXPECT_EQ(strText, "COM7   -        0%  00:00  starting\n"
                       "COM12  -        0%  00:00  starting\n"
                       "COM7   AMSS4   41%  01:15  Flash Writing.... [AMSS4], about 2 min 10 s left\n"
                       "COM7   done  03:20  Software Download Complete.\n"
                       "COM12  FAILED 00:00  krt-flash: Cannot Open binary file!\n");
}
