// Real serial I/O: the port object against a pty whose far end is a small peer that answers frames.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "download/engine_state.h"
#include "download/reply_wait.h"
#include "download/run_stop.h"
#include "platform/clock.h"
#include "platform/named_event.h"
#include "platform/serial_device.h"
#include "platform/serial_port_map.h"
#include "platform/thread.h"
#include "serial/base_comm.h"
#include "tests/tools/pty_peer.h"

namespace {

class PortIoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::SetTimeScale(0.1);
        ASSERT_TRUE(m_peer.Start());
        m_nPort = Platform::RegisterSerialPort("\\Device\\qzcdserd0", m_peer.SlavePath());
        ASSERT_GT(m_nPort, 0);
        DetectedPort = static_cast<uint8_t>(m_nPort);
    }
    void TearDown() override
    {
        CBaseComm::Discard(g_pComm);
        Platform::SetSerialFaults(DevicePath(), {});
        Platform::UnregisterSerialPort(m_nPort);
        m_peer.Stop();
        Platform::SetTimeScale(1.0);
    }

    std::string DevicePath() const
    {
        char szPath[32];
        CBaseComm::FormatDevicePath(static_cast<uint8_t>(m_nPort), szPath, sizeof(szPath));
        return szPath;
    }

    CPtyPeer m_peer;
    int m_nPort = 0;
};

std::vector<uint8_t> Unescaped(const std::vector<uint8_t>& frame)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i < frame.size(); ++i) {
        if (frame[i] == 0x7D && i + 1 < frame.size()) {
            out.push_back(static_cast<uint8_t>(frame[++i] ^ 0x20));
        } else {
            out.push_back(frame[i]);
        }
    }
    return out;
}

}  // namespace

TEST_F(PortIoTest, CommandsGoOutAsFramesAndRepliesComeBack)
{
    ASSERT_TRUE(InitComPort());
    ASSERT_NE(g_pComm, nullptr);
    EXPECT_TRUE(g_pComm->m_bConnected);

    g_pComm->SendStartupCmd(0);
    int32_t nResult = WaitForReply(5000);
    EXPECT_EQ(nResult, REPLY_OK);
    EXPECT_TRUE(IsReplySuccess(nResult));

    g_pComm->SendEraseCmd(0x007E0000, 0x001C0000, 1);
    EXPECT_TRUE(IsReplySuccess(WaitForReply(3000)));
    std::vector<uint8_t> block(WRITE_BLOCK_SIZE);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i * 7);  // plenty of bytes that need escaping
    }
    g_pComm->SendWriteCmd(0x00300000, 0x4000, block.data(), 2);
    EXPECT_TRUE(IsReplySuccess(WaitForReply(2000)));
    g_pComm->SendCloseUsbCmd(1);
    EXPECT_TRUE(IsReplySuccess(WaitForReply(3000)));
    g_pComm->SendRebuildCmd(1);
    EXPECT_TRUE(IsReplySuccess(WaitForReply(5000)));
    g_pComm->SendResetCmd(2);
    EXPECT_TRUE(IsReplySuccess(WaitForReply(1000)));

    ASSERT_TRUE(m_peer.WaitFrames(6, 2000));
    const auto frames = m_peer.Frames();
    EXPECT_EQ(frames[0], (std::vector<uint8_t>{0x7E, 0x00, 0xA0, 0x72, 0x55, 0x7E}));
    EXPECT_EQ(frames[1], (std::vector<uint8_t>{0x7E, 0x01, 0xEE, 0x00, 0x00, 0x7D, 0x5E, 0x00, 0x00, 0x00, 0x1C,
                                               0x00, 0x00, 0x00, 0x7C, 0x17, 0x7E}));
    const std::vector<uint8_t> write = Unescaped(frames[2]);
    ASSERT_EQ(write.size(), 2 + 16391 + 2 + 1u);
    EXPECT_EQ(write[1], 2);  // tag
    EXPECT_EQ(std::vector<uint8_t>(write.begin() + 2, write.begin() + 9),
              (std::vector<uint8_t>{0xDD, 0x00, 0x00, 0x30, 0x00, 0x00, 0x40}));
    EXPECT_EQ(std::vector<uint8_t>(write.begin() + 9, write.begin() + 9 + 16384), block);
    EXPECT_EQ(Unescaped(frames[3]), (std::vector<uint8_t>{0x7E, 0x01, 0xC0, 0, 0, 0, 0, frames[3][7], frames[3][8], 0x7E}));
    EXPECT_EQ(frames[4], (std::vector<uint8_t>{0x7E, 0x01, 0xED, 0x93, 0xCC, 0x7E}));
    EXPECT_EQ(Unescaped(frames[5])[2], 0x90);
    EXPECT_EQ(Unescaped(frames[5]).size(), 2 + 5 + 2 + 1u);
}

TEST_F(PortIoTest, RefusalsAndSilence)
{
    ASSERT_TRUE(InitComPort());
    m_peer.SetStatus(7);
    g_pComm->SendStartupCmd(0);
    int32_t nResult = WaitForReply(5000);
    EXPECT_EQ(nResult, REPLY_OK);
    EXPECT_FALSE(IsReplySuccess(nResult));
    EXPECT_EQ(ReplyStatus(), 7);

    m_peer.SetSilent(true);
    const int64_t nStart = Platform::MonotonicMs();
    g_pComm->SendStartupCmd(0);
    EXPECT_EQ(WaitForReply(5000), REPLY_TIMEOUT);
    EXPECT_GE(Platform::MonotonicMs() - nStart, 450);  // 5000 ms at a scale of 0.1
    EXPECT_EQ(ReplyStatus(), 7);
}

TEST_F(PortIoTest, CloseEndsTheReceiveThreadAndWritesStop)
{
    ASSERT_TRUE(InitComPort());
    EXPECT_NE(g_pComm->m_hReceiveThread, nullptr);
    EXPECT_TRUE(g_pComm->Close());
    EXPECT_EQ(g_pComm->m_hReceiveThread, nullptr);  // joined
    EXPECT_EQ(g_pComm->m_hComm, nullptr);
    const uint8_t by = 0x55;
    EXPECT_FALSE(g_pComm->Write(&by, 1));

    // The tty is no longer marked exclusive once closed (the mark outlives the descriptor, and only root
    // may open a marked tty).
    const int fd = open(m_peer.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    int nExclusive = -1;
    ASSERT_EQ(ioctl(fd, TIOCGEXCL, &nExclusive), 0);
    EXPECT_EQ(nExclusive, 0);
    close(fd);
}

TEST_F(PortIoTest, DeviceHangUpEndsTheReceiveThread)
{
    ASSERT_TRUE(InitComPort());
    g_pComm->SendStartupCmd(0);
    EXPECT_EQ(WaitForReply(5000), REPLY_OK);
    m_peer.HangUp();
    // The thread notices the hang-up by itself; closing afterwards still works.
    EXPECT_TRUE(Platform::JoinThread(g_pComm->m_hReceiveThread, 2000, nullptr));
    g_pComm->SendStartupCmd(0);
    EXPECT_EQ(WaitForReply(500), REPLY_TIMEOUT);
    EXPECT_TRUE(g_pComm->Close());
    EXPECT_EQ(g_pComm->m_hReceiveThread, nullptr);
    EXPECT_EQ(g_pComm->m_hComm, nullptr);
}

TEST_F(PortIoTest, OpenFailures)
{
    DetectedPort = 0;  // nothing found yet
    EXPECT_FALSE(InitComPort());
    EXPECT_EQ(MessageText, "Cannot Open ComPort!");

    // The port is exclusive: a second object cannot open it while the first holds it.
    DetectedPort = static_cast<uint8_t>(m_nPort);
    ASSERT_TRUE(InitComPort());
    CBaseComm* pSecond = new CBaseComm();
    pSecond->SetPortParams(static_cast<uint8_t>(m_nPort), 115200, 8, 0, 0);
    ASSERT_TRUE(pSecond->CreateIoEvents());
    EXPECT_FALSE(pSecond->Open());
    CBaseComm::Discard(pSecond);
    EXPECT_EQ(pSecond, nullptr);

    char szPath[32];
    CBaseComm::FormatDevicePath(5, szPath, sizeof(szPath));
    EXPECT_STREQ(szPath, "\\\\.\\COM5");
    CBaseComm::FormatDevicePath(128, szPath, sizeof(szPath));
    EXPECT_STREQ(szPath, "\\\\.\\COM128");
    CBaseComm::FormatDevicePath(129, szPath, sizeof(szPath));
    EXPECT_STREQ(szPath, "\\\\.\\TELNET");
}

// A device that vanished: its driver refuses to release the receive thread's wait.
TEST_F(PortIoTest, CloseEndsAWaitThatAFailedCancelLeftPending)
{
    Platform::SetSerialFaults(DevicePath(), {.bCancelWaitFails = true});
    ASSERT_TRUE(InitComPort());
    g_pComm->SendStartupCmd(0);
    ASSERT_EQ(WaitForReply(5000), REPLY_OK);
    Platform::SleepMs(500);  // the receive thread reads on a little after the reply, then waits again

    const int64_t nStart = Platform::MonotonicMs();
    EXPECT_TRUE(g_pComm->Close());  // the refusal does not keep the port
    EXPECT_LT(Platform::MonotonicMs() - nStart, Platform::ScaledMs(RECEIVE_THREAD_STOP_MS));
    EXPECT_EQ(g_pComm->m_hReceiveThread, nullptr);  // cancelling its I/O ended it
    EXPECT_EQ(g_pComm->m_hComm, nullptr);
}

TEST_F(PortIoTest, DiscardLetsThePortGoWhenTheReceiveThreadWillNotEnd)
{
    Platform::SetSerialFaults(DevicePath(), {.bCancelWaitFails = true, .bCancelIoFails = true});
    ASSERT_TRUE(InitComPort());
    g_pComm->SendStartupCmd(0);
    ASSERT_EQ(WaitForReply(5000), REPLY_OK);
    Platform::SleepMs(500);
    const std::string strEvent = g_pComm->GetReceiveEventName();

    // As when a stopped run closes its port: the stop does not shorten how long closing waits for the thread.
    RequestRunStop();
    const int64_t nStart = Platform::MonotonicMs();
    CBaseComm::Discard(g_pComm);
    const int64_t nElapsed = Platform::MonotonicMs() - nStart;
    ClearRunStop();
    EXPECT_GE(nElapsed, 300 - 1);  // 3000 ms at a scale of 0.1: the thread did not end before
    EXPECT_LT(nElapsed, 300 + 2000);
    EXPECT_EQ(g_pComm, nullptr);

    // Letting the device go ends the wait; the thread then deletes the object, reply event and all.
    bool bGone = false;
    for (const int64_t nEnd = Platform::MonotonicMs() + 2000; !bGone && Platform::MonotonicMs() < nEnd;) {
        Platform::EventHandle hEvent = Platform::OpenEventObject(strEvent.c_str());
        bGone = hEvent == nullptr;
        Platform::CloseEventObject(hEvent);
        Platform::SleepMs(10);
    }
    EXPECT_TRUE(bGone);

    // The port is free for the next run.
    Platform::SetSerialFaults(DevicePath(), {});
    ASSERT_TRUE(InitComPort());
    g_pComm->SendStartupCmd(0);
    EXPECT_EQ(WaitForReply(5000), REPLY_OK);
}
