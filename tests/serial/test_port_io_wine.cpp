// The port object on a real COM port under Wine: COMn is a dosdevices link to a pty whose far end is the
// test peer (started beside this program by the Wine runner).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "download/download_messages.h"
#include "download/engine_state.h"
#include "download/reply_wait.h"
#include "platform/clock.h"
#include "serial/base_comm.h"

namespace {

class WinePortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* pszPort = std::getenv("KRT_TEST_COM_PORT");
        ASSERT_NE(pszPort, nullptr) << "KRT_TEST_COM_PORT names the COM port linked to the test peer";
        DetectedPort = static_cast<uint8_t>(std::atoi(pszPort));
        Platform::SetTimeScale(0.2);
    }
    void TearDown() override
    {
        CBaseComm::Discard(g_pComm);
        Platform::SetTimeScale(1.0);
    }
};

}  // namespace

TEST_F(WinePortTest, CommandsAreAnsweredThroughTheComPort)
{
    ASSERT_TRUE(InitComPort()) << MessageText;
    g_pComm->SendStartupCmd(0);
    EXPECT_TRUE(IsReplySuccess(WaitForReply(5000)));
    g_pComm->SendEraseCmd(0x00300000, 0x00300000, 1);
    EXPECT_TRUE(IsReplySuccess(WaitForReply(3000)));
    std::vector<uint8_t> block(WRITE_BLOCK_SIZE);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i * 13);
    }
    for (uint8_t byTag = 2; byTag < 6; ++byTag) {
        g_pComm->SendWriteCmd(0x00300000 + 0x4000u * byTag, 0x4000, block.data(), byTag % 4);
        EXPECT_TRUE(IsReplySuccess(WaitForReply(2000))) << int(byTag);
    }
    g_pComm->SendCloseUsbCmd(1);
    EXPECT_TRUE(IsReplySuccess(WaitForReply(3000)));
    g_pComm->SendRebuildCmd(1);
    EXPECT_TRUE(IsReplySuccess(WaitForReply(5000)));
    g_pComm->SendResetCmd(2);
    EXPECT_TRUE(IsReplySuccess(WaitForReply(1000)));
}

TEST_F(WinePortTest, UnansweredFrameTimesOutAndCloseEndsTheThread)
{
    ASSERT_TRUE(InitComPort()) << MessageText;
    g_pComm->SendStartupCmd(0);
    EXPECT_EQ(WaitForReply(5000), REPLY_OK);
    // A frame with a wrong CRC is not answered.
    const uint8_t bad[] = {0x7E, 0x00, 0xA0, 0x00, 0x00, 0x7E};
    EXPECT_TRUE(g_pComm->Write(bad, sizeof(bad)));
    const int64_t nStart = Platform::MonotonicMs();
    EXPECT_EQ(WaitForReply(2000), REPLY_TIMEOUT);
    EXPECT_GE(Platform::MonotonicMs() - nStart, 380);

    EXPECT_TRUE(g_pComm->Close());
    EXPECT_EQ(g_pComm->m_hReceiveThread, nullptr);
    const uint8_t by = 0x55;
    EXPECT_FALSE(g_pComm->Write(&by, 1));
}

TEST_F(WinePortTest, MissingPortCannotBeOpened)
{
    DetectedPort = 0;
    EXPECT_FALSE(InitComPort());
    EXPECT_EQ(MessageText, "Cannot Open ComPort!");
}

TEST_F(WinePortTest, ReplyEventThatCannotBeCreatedFailsAtOnce)
{
    // Another object holds the event's name, so the event cannot be made: the run must say so before
    // the first command, not wait for replies that cannot be signalled.
    char szName[128];
    std::snprintf(szName, sizeof(szName), "RECEIVE_0_EVENT_%lu", GetCurrentProcessId());
    HANDLE hSquatter = CreateMutexA(nullptr, FALSE, szName);
    ASSERT_NE(hSquatter, nullptr);
    const int64_t nStart = Platform::MonotonicMs();
    EXPECT_FALSE(InitComPort());
    EXPECT_EQ(MessageText, MSG_NO_REPLY_EVENT);
    EXPECT_LT(Platform::MonotonicMs() - nStart, 1000);
    CloseHandle(hSquatter);
    ASSERT_TRUE(InitComPort()) << MessageText;
}
