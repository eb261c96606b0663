// The simulated device on a real pty, driven by the project's own host side (port object, commands,
// reply wait): a whole session, and every fault kind as the host sees it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "download/command_exchange.h"
#include "download/crc16.h"
#include "download/engine_state.h"
#include "download/protocol.h"
#include "download/reply_wait.h"
#include "platform/clock.h"
#include "platform/serial_port_map.h"
#include "serial/base_comm.h"
#include "sim/device_simulator.h"
#include "tests/sim/sim_test_support.h"

using namespace Sim;
using namespace SimTest;

namespace {

constexpr double TIME_SCALE = 0.1;

struct Attempt {
    int32_t nWait;
    uint8_t byStatus;
    int32_t nLength;
};

class SimWithHostTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        CBaseComm::Discard(g_pComm);
        if (m_nPort) {
            Platform::UnregisterSerialPort(m_nPort);
            m_nPort = 0;
        }
        m_pSim.reset();
        Platform::SetTimeScale(1.0);
    }

    // Starts the device with these faults (option name, value) and opens the host's port on it.
    void Connect(const std::vector<std::pair<std::string, std::string>>& faults, SimSettings settings = {})
    {
        Platform::SetTimeScale(TIME_SCALE);
        for (const auto& [strOption, strValue] : faults) {
            FaultRule rule;
            std::string strError;
            ASSERT_TRUE(ParseFaultRule(strOption, strValue, &rule, &strError)) << strError;
            settings.faults.push_back(rule);
        }
        m_pSim = std::make_unique<CDeviceSimulator>(settings);
        m_strPty = m_pSim->Start();
        ASSERT_FALSE(m_strPty.empty());
        m_nPort = Platform::RegisterSerialPort("\\Device\\qzcdserd0", m_strPty);
        ASSERT_GT(m_nPort, 0);
        DetectedPort = static_cast<uint8_t>(m_nPort);
        ASSERT_TRUE(InitComPort()) << MessageText;
        ResetRepliesDue();
    }

    // One step through the download sequence's own exchange; every attempt is recorded.
    bool Step(const std::function<void()>& fnSend, const CommandStep& step)
    {
        int32_t nLastWait = REPLY_TIMEOUT;
        return ExchangeCommand(step, fnSend, &nLastWait, [this](int32_t nWait) {
            m_attempts.push_back({nWait, ReplyStatus(), ReplyLength});
        });
    }

    // Erases and writes partition i as the host does (blocks of 16 KiB padded with 0xFF, tags 2, 3, 0, ...).
    bool WritePartition(const std::vector<uint8_t>& container, int i)
    {
        std::vector<uint8_t> data = PartitionData(container, i);
        const uint32_t dwStart = PartitionFlashStart(container, i);
        const uint32_t dwErase = static_cast<uint32_t>((data.size() + 16383) & ~size_t{16383});
        if (!Step([&] { g_pComm->SendEraseCmd(dwStart, dwErase, STEP_ERASE.byTag); }, STEP_ERASE)) {
            return false;
        }
        data.resize(dwErase, 0xFF);
        int nCounter = 1;
        for (uint32_t dwAt = 0; dwAt < dwErase; dwAt += WRITE_BLOCK_SIZE) {
            ++nCounter;
            const uint8_t byTag = static_cast<uint8_t>(nCounter % WRITE_TAG_MODULUS);
            if (!Step([&] { g_pComm->SendWriteCmd(dwStart + dwAt, WRITE_BLOCK_SIZE, data.data() + dwAt, byTag); },
                      STEP_WRITE)) {
                return false;
            }
        }
        return true;
    }

    // The whole exchange of a download run; false at the first step that fails.
    bool Session(const std::vector<uint8_t>& container, int nPartitions)
    {
        if (!Step([] { g_pComm->SendStartupCmd(STEP_STARTUP.byTag); }, STEP_STARTUP)) {
            return false;
        }
        for (int i = 4; i < nPartitions; ++i) {
            if (!WritePartition(container, i)) {
                return false;
            }
        }
        return Step([] { g_pComm->SendCloseUsbCmd(STEP_CLOSE_USB.byTag); }, STEP_CLOSE_USB) &&
               Step([] { g_pComm->SendStartupCmd(STEP_UNLOCK.byTag); }, STEP_UNLOCK) &&
               Step([] { g_pComm->SendRebuildCmd(STEP_REBUILD.byTag); }, STEP_REBUILD) &&
               Step([] { g_pComm->SendResetCmd(STEP_RESET.byTag); }, STEP_RESET);
    }

    bool Startup() { return Step([] { g_pComm->SendStartupCmd(0); }, STEP_STARTUP); }

    std::unique_ptr<CDeviceSimulator> m_pSim;
    std::string m_strPty;
    int m_nPort = 0;
    std::vector<Attempt> m_attempts;
};

bool PathExists(const std::string& strPath)
{
    struct stat st{};
    return stat(strPath.c_str(), &st) == 0;
}

}  // namespace

TEST_F(SimWithHostTest, AHostSessionLeavesTheContainerInFlashAndTheDeviceHangsUp)
{
    const std::vector<uint8_t> container = BuildContainer(DefaultLayout());
    Connect({});
    ASSERT_TRUE(Session(container, 7));
    for (const Attempt& attempt : m_attempts) {
        EXPECT_EQ(attempt.nWait, REPLY_OK);  // no retries needed
    }
    ASSERT_TRUE(m_pSim->WaitFinished(5000)) << "the device reboots after the reset reply";
    EXPECT_FALSE(PathExists(m_strPty)) << "the pty is gone with the device";
    EXPECT_EQ(m_pSim->GetState(), SESSION_GONE);

    VerifyReport report = m_pSim->Verify(container);
    EXPECT_TRUE(report.bOk) << report.Text();
    const std::vector<uint8_t> amss = PartitionData(container, 4);
    const uint32_t dwAmss = PartitionFlashStart(container, 4);
    EXPECT_EQ(m_pSim->ReadFlash(dwAmss, static_cast<uint32_t>(amss.size())), amss);
    EXPECT_EQ(m_pSim->ReadFlash(dwAmss + 20480, 12288), std::vector<uint8_t>(12288, 0xFF));

    // startup, 3 x (erase + blocks: 2, 4, 0), close, unlock, rebuild, reset
    const std::vector<TranscriptEntry> transcript = m_pSim->GetTranscript();
    ASSERT_EQ(transcript.size(), 1u + 3 + 6 + 4);
    EXPECT_EQ(transcript[0].nKind, KIND_STARTUP);
    EXPECT_EQ(transcript[1].nKind, KIND_ERASE);
    EXPECT_EQ(transcript[1].dwLength, 2u * 16384);
    EXPECT_EQ(transcript[2].byTag, 2);
    EXPECT_EQ(transcript[3].byTag, 3);
    EXPECT_EQ(transcript[5].byTag, 2);  // the next partition's first block
    EXPECT_EQ(transcript[9].nKind, KIND_ERASE);
    EXPECT_EQ(transcript[9].dwLength, 0u);  // the empty partition
    EXPECT_EQ(transcript[10].nKind, KIND_CLOSE);
    EXPECT_EQ(transcript[11].nKind, KIND_UNLOCK);
    EXPECT_EQ(transcript[13].nKind, KIND_RESET);
    for (const TranscriptEntry& entry : transcript) {
        EXPECT_TRUE(entry.bCrcOk);
        EXPECT_EQ(entry.nReplyStatus, STATUS_OK) << FormatTranscriptEntry(entry);
    }
}

TEST_F(SimWithHostTest, ALostReplyTimesOutAndTheResentBlockStillLandsOnce)
{
    const std::vector<uint8_t> container = BuildContainer(DefaultLayout());
    Connect({{"no-reply", "write:every=3"}});
    ASSERT_TRUE(Session(container, 7));
    int nTimeouts = 0;
    for (const Attempt& attempt : m_attempts) {
        nTimeouts += attempt.nWait == REPLY_TIMEOUT ? 1 : 0;
    }
    EXPECT_EQ(nTimeouts, 2);  // the 3rd and 6th write frames
    ASSERT_TRUE(m_pSim->WaitFinished(5000));
    VerifyReport report = m_pSim->Verify(container);
    EXPECT_TRUE(report.bOk) << report.Text();
}

TEST_F(SimWithHostTest, ARefusedStatusReachesTheHostOnEveryAttempt)
{
    Connect({{"status", "startup=1"}});
    EXPECT_FALSE(Startup());
    ASSERT_EQ(m_attempts.size(), 5u);
    for (const Attempt& attempt : m_attempts) {
        EXPECT_EQ(attempt.nWait, REPLY_OK);
        EXPECT_EQ(attempt.byStatus, 1);
    }
    EXPECT_EQ(m_pSim->GetState(), SESSION_POWERED);
}

TEST_F(SimWithHostTest, ALateReplyNeverPassesForTheNextCommandsReply)
{
    // 6000 ms against the startup's 5000 ms time-out: the resend's wait takes the late reply, and the
    // resend's own reply is still owed when the step is done.
    Connect({{"delay", "startup=6000:first=1"}, {"status", "erase=1"}});
    EXPECT_TRUE(Startup());
    ASSERT_EQ(m_attempts.size(), 2u);
    EXPECT_EQ(m_attempts[0].nWait, REPLY_TIMEOUT);
    EXPECT_EQ(m_attempts[1].nWait, REPLY_OK);
    EXPECT_EQ(m_attempts[1].byStatus, ACK_OK);

    // The device refuses every erase. The owed startup reply (a success) must not confirm it.
    m_attempts.clear();
    EXPECT_FALSE(Step([] { g_pComm->SendEraseCmd(0x00300000, 0x4000, 1); }, STEP_ERASE));
    ASSERT_EQ(m_attempts.size(), 2u);
    for (const Attempt& attempt : m_attempts) {
        EXPECT_EQ(attempt.nWait, REPLY_OK);
        EXPECT_EQ(attempt.byStatus, 1);
    }
}

TEST_F(SimWithHostTest, ABadReplyCrcGoesUnnoticedByTheHost)
{
    Connect({{"bad-crc", "startup"}});
    EXPECT_TRUE(Startup());
    ASSERT_EQ(ReplyLength, 4);
    const uint8_t byStatus = ReplyBuffer[1];
    const uint16_t wCrc = Crc16X25(&byStatus, 1);
    EXPECT_NE(ReplyBuffer[2] | ReplyBuffer[3] << 8, wCrc);
}

TEST_F(SimWithHostTest, SplitRepliesArriveAsTheHostDescribes)
{
    // A lone closing flag does not complete the reply: the first wait times out, the resend's reply
    // completes it.
    Connect({{"split", "trailing-flag:first=1"}});
    EXPECT_TRUE(Startup());
    ASSERT_EQ(m_attempts.size(), 2u);
    EXPECT_EQ(m_attempts[0].nWait, REPLY_TIMEOUT);
    TearDown();

    // Opening flag and tag alone complete a one-byte frame, which is no success.
    m_attempts.clear();
    Connect({{"split", "after-tag:first=1"}});
    EXPECT_TRUE(Startup());
    ASSERT_GE(m_attempts.size(), 2u);
    EXPECT_EQ(m_attempts[0].nWait, REPLY_OK);
    EXPECT_EQ(m_attempts[0].nLength, 1);
    TearDown();

    // One byte after the closing flag becomes part of the reply.
    m_attempts.clear();
    Connect({{"split", "extra-byte=0x3C:first=1"}});
    EXPECT_TRUE(Startup());
    ASSERT_EQ(m_attempts.size(), 1u);
    EXPECT_EQ(ReplyLength, 5);
    EXPECT_EQ(ReplyBuffer[4], 0x3C);
    TearDown();

    // A leading 0x7F is dropped by the host.
    m_attempts.clear();
    Connect({{"split", "leading-7f"}});
    EXPECT_TRUE(Startup());
    ASSERT_EQ(m_attempts.size(), 1u);
    EXPECT_EQ(ReplyLength, 4);
    EXPECT_EQ(ReplyBuffer[0], 0x00);
}

TEST_F(SimWithHostTest, GarbageBetweenRepliesSpoilsTheNextReply)
{
    Connect({{"garbage", "11 22:first=1"}});
    EXPECT_TRUE(Startup());
    m_attempts.clear();
    EXPECT_TRUE(Step([] { g_pComm->SendEraseCmd(0x00300000, 0x8000, 1); }, STEP_ERASE));
    ASSERT_EQ(m_attempts.size(), 2u);
    EXPECT_EQ(m_attempts[0].nWait, REPLY_OK);
    EXPECT_EQ(m_attempts[0].byStatus, 0x22);  // garbage ahead of the reply in the host's accumulator
    EXPECT_EQ(m_attempts[1].byStatus, ACK_OK);
    EXPECT_EQ(m_pSim->GetUnit(0x00300000).nEraseCount, 1u) << "the resent erase was answered, not repeated";
}

TEST_F(SimWithHostTest, AnUnplugMidDownloadLeavesTheHostWithoutReplies)
{
    const std::vector<uint8_t> container = BuildContainer(DefaultLayout());
    SimSettings settings;
    settings.nUnplugAfterWrites = 3;
    Connect({}, settings);
    EXPECT_FALSE(Session(container, 7));
    ASSERT_TRUE(m_pSim->WaitFinished(5000));
    EXPECT_FALSE(PathExists(m_strPty));
    // The 4th block (DSP1's second) found no device.
    ASSERT_GE(m_attempts.size(), 2u);
    EXPECT_NE(m_attempts.back().nWait, REPLY_OK);
    const uint32_t dwDsp = PartitionFlashStart(container, 5);
    EXPECT_EQ(m_pSim->GetUnit(dwDsp).nProgramCount, 1u);
    EXPECT_EQ(m_pSim->GetUnit(dwDsp + 16384).nProgramCount, 0u);
    EXPECT_FALSE(m_pSim->Verify(container).bOk);
}

TEST_F(SimWithHostTest, ThrottleAndLatencySlowTheLinkDown)
{
    SimSettings settings;
    settings.nLatencyMs = 2000;
    Connect({}, settings);
    int64_t nStart = Platform::MonotonicMs();
    g_pComm->SendStartupCmd(0);
    EXPECT_EQ(WaitForReply(1000), REPLY_TIMEOUT);  // 100 ms against 200 ms of latency
    EXPECT_EQ(WaitForReply(5000), REPLY_OK);
    EXPECT_GE(Platform::MonotonicMs() - nStart, 190);
    TearDown();

    // 4000 bytes/s: a block of 16 KiB takes about 4.1 s of link time, 410 ms at this time scale.
    settings = {};
    settings.nThrottleBytesPerSecond = 4000;
    Connect({}, settings);
    g_pComm->SendStartupCmd(0);
    ASSERT_EQ(WaitForReply(5000), REPLY_OK);
    g_pComm->SendEraseCmd(0x00300000, 0x4000, 1);
    ASSERT_EQ(WaitForReply(5000), REPLY_OK);
    std::vector<uint8_t> block(16384, 0x5A);
    nStart = Platform::MonotonicMs();
    g_pComm->SendWriteCmd(0x00300000, 0x4000, block.data(), 2);
    EXPECT_EQ(WaitForReply(20000), REPLY_OK);
    const int64_t nElapsed = Platform::MonotonicMs() - nStart;
    EXPECT_GE(nElapsed, 350);
    EXPECT_LE(nElapsed, 1500);
    EXPECT_TRUE(IsReplySuccess(REPLY_OK));
}

TEST_F(SimWithHostTest, StopEndsTheDeviceEvenInTheMiddleOfALongDelay)
{
    Connect({{"delay", "startup=600000"}});
    g_pComm->SendStartupCmd(0);
    EXPECT_EQ(WaitForReply(2000), REPLY_TIMEOUT);
    const int64_t nStart = Platform::MonotonicMs();
    m_pSim->Stop();
    EXPECT_LT(Platform::MonotonicMs() - nStart, 1000);
    EXPECT_TRUE(m_pSim->IsFinished());
}

TEST_F(SimWithHostTest, AnUnplugOnRequestComesBackOnANewPtyWhenRunsAreLeft)
{
    SimSettings settings;
    settings.nRuns = 2;
    Connect({}, settings);
    EXPECT_TRUE(Startup());
    m_pSim->Unplug();
    for (int i = 0; i < 200 && m_pSim->GetRunsDone() == 0; ++i) {
        Platform::SleepMs(100);
    }
    ASSERT_EQ(m_pSim->GetRunsDone(), 1);
    g_pComm->SendEraseCmd(0x00300000, 0x4000, 1);
    EXPECT_NE(WaitForReply(3000), REPLY_OK) << "the old port has no device behind it";

    // The device is back on a fresh pty in its power-up state; the flash keeps what it had.
    Platform::UnregisterSerialPort(m_nPort);
    m_nPort = Platform::RegisterSerialPort("\\Device\\qzcdserd0", m_pSim->GetPtyPath());
    DetectedPort = static_cast<uint8_t>(m_nPort);
    ASSERT_TRUE(InitComPort()) << MessageText;
    EXPECT_EQ(m_pSim->GetState(), SESSION_POWERED);
    g_pComm->SendEraseCmd(0x00300000, 0x4000, 1);
    ASSERT_EQ(WaitForReply(3000), REPLY_OK);
    EXPECT_EQ(ReplyStatus(), STATUS_OUT_OF_ORDER);
    EXPECT_TRUE(Startup());
    EXPECT_FALSE(m_pSim->IsFinished());
}
