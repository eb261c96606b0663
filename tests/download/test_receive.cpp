// The receive side without a port: chunks go into the accumulator as the receive thread would hand
// them over, and the reply wait picks up what it produced.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/engine_state.h"
#include "download/reply_wait.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/named_event.h"
#include "platform/process_id.h"
#include "serial/base_comm.h"

namespace {

class ReceiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::SetTimeScale(0.05);
        g_pComm = new CBaseComm();
        g_pComm->CreateReceiveEvent(0);
        m_pComm = g_pComm;
    }
    void TearDown() override
    {
        CBaseComm::Discard(g_pComm);
        Platform::SetTimeScale(1.0);
        Platform::SetMessageSink({});
    }

    void Chunk(std::vector<uint8_t> bytes)
    {
        m_pComm->m_nRxLength = static_cast<int32_t>(bytes.size());
        m_pComm->OnReceiveChunk(bytes.data());
    }
    bool EventSet()
    {
        Platform::EventHandle h = Platform::OpenEventObject(m_pComm->GetReceiveEventName());
        const bool bSet = Platform::WaitEventObject(h, 0) == Platform::WAIT_RESULT_SIGNALED;
        Platform::ResetEventObject(h);
        Platform::CloseEventObject(h);
        return bSet;
    }
    std::vector<uint8_t> Reply() const
    {
        return {m_pComm->m_RxReply, m_pComm->m_RxReply + m_pComm->m_nRxReplyLength};
    }

    CBaseComm* m_pComm = nullptr;
};

}  // namespace

TEST_F(ReceiveTest, EventNameAndWholeReply)
{
    // The documented name, kept apart from other processes' by this one's id.
    EXPECT_EQ(std::string(m_pComm->GetReceiveEventName()),
              "RECEIVE_0_EVENT_" + std::to_string(Platform::CurrentProcessId()));
    m_pComm->m_wUnescapeMode = 1;
    Chunk({0x7E, 0x00, 0x02, 0x7D, 0x5E, 0x11, 0x7E});
    EXPECT_TRUE(EventSet());
    EXPECT_EQ(Reply(), (std::vector<uint8_t>{0x00, 0x02, 0x7E, 0x11}));
    EXPECT_EQ(m_pComm->m_nRxPos, 0);
}

TEST_F(ReceiveTest, SplitRepliesAndTrailingBytes)
{
    m_pComm->m_wUnescapeMode = 1;
    // A lone closing flag is discarded; the bytes before it stay until a longer chunk ends the frame.
    Chunk({0x7E, 0x00, 0x02, 0xAA, 0xBB});
    Chunk({0x7E});
    EXPECT_FALSE(EventSet());
    EXPECT_EQ(m_pComm->m_nRxPos, 5);
    Chunk({0x7E, 0x7E});
    EXPECT_TRUE(EventSet());
    EXPECT_EQ(Reply(), (std::vector<uint8_t>{0x00, 0x02, 0xAA, 0xBB}));

    // A flag followed by one byte completes; the byte belongs to the frame.
    Chunk({0x7E, 0x00, 0x02, 0xAA, 0xBB, 0x7E, 0x0A});
    EXPECT_TRUE(EventSet());
    EXPECT_EQ(Reply(), (std::vector<uint8_t>{0x00, 0x02, 0xAA, 0xBB, 0x0A}));

    // Opening flag and tag alone complete as a one-byte frame; the rest starts a new one.
    Chunk({0x7E, 0x00});
    EXPECT_TRUE(EventSet());
    EXPECT_EQ(Reply(), (std::vector<uint8_t>{0x00}));
    Chunk({0x02, 0xAA, 0xBB, 0x7E});
    EXPECT_TRUE(EventSet());
    EXPECT_EQ(Reply(), (std::vector<uint8_t>{0x02, 0xAA, 0xBB}));

    // A leading 0x7F is noise; an empty frame is still a frame once a command was sent.
    Chunk({0x7F, 0x7E, 0x01, 0x02, 0xAA, 0xBB, 0x7E});
    EXPECT_TRUE(EventSet());
    EXPECT_EQ(Reply(), (std::vector<uint8_t>{0x01, 0x02, 0xAA, 0xBB}));
    Chunk({0x7E, 0x7E});
    EXPECT_TRUE(EventSet());
    EXPECT_TRUE(Reply().empty());
}

TEST_F(ReceiveTest, ShortFramesBeforeTheFirstCommandAreIgnored)
{
    Chunk({0x7E, 0x00, 0x02, 0x7E});
    EXPECT_FALSE(EventSet());
    Chunk({0x7E, 0x00, 0x02, 0xAA, 0xBB, 0x7E});
    EXPECT_TRUE(EventSet());
    m_pComm->m_wUnescapeMode = 1;
    Chunk({0x7E, 0x00, 0x02, 0x7E});
    EXPECT_TRUE(EventSet());
}

TEST_F(ReceiveTest, OverflowDropsWithoutWritingPastTheBuffer)
{
    m_pComm->m_wUnescapeMode = 1;
    std::vector<uint8_t> big(30000, 0x41);
    Chunk(big);
    EXPECT_EQ(m_pComm->m_nRxPos, 30000);
    // 30000 + 32768 does not fit into 32769 bytes: both are dropped.
    std::vector<uint8_t> huge(RX_READ_LIMIT, 0x42);
    huge.back() = 0x7E;
    Chunk(huge);
    EXPECT_EQ(m_pComm->m_nRxPos, 0);
    EXPECT_FALSE(EventSet());
    // Reaching 32768 accumulated bytes drops the next chunk whatever it holds.
    Chunk(std::vector<uint8_t>(RX_OVERFLOW_LIMIT, 0x43));
    EXPECT_EQ(m_pComm->m_nRxPos, static_cast<int32_t>(RX_OVERFLOW_LIMIT));
    Chunk({0x7E, 0x00, 0x02, 0x7E});
    EXPECT_EQ(m_pComm->m_nRxPos, 0);
    EXPECT_FALSE(EventSet());
    Chunk({0x7E, 0x00, 0x02, 0xAA, 0xBB, 0x7E});
    EXPECT_TRUE(EventSet());
}

TEST_F(ReceiveTest, WaitForReplyResults)
{
    m_pComm->m_wUnescapeMode = 1;
    Chunk({0x7E, 0x00, 0x02, 0xAA, 0xBB, 0x7E});
    int32_t nResult = WaitForReply(1000);
    EXPECT_EQ(nResult, REPLY_OK);
    EXPECT_TRUE(IsReplySuccess(nResult));
    EXPECT_EQ(ReplyStatus(), 2);

    // Nothing arrives: time-out, and the buffer keeps the previous reply.
    const int64_t nStart = Platform::MonotonicMs();
    nResult = WaitForReply(2000);
    EXPECT_EQ(nResult, REPLY_TIMEOUT);
    EXPECT_GE(Platform::MonotonicMs() - nStart, 90);  // 2000 ms at a scale of 0.05
    EXPECT_FALSE(IsReplySuccess(nResult));
    EXPECT_EQ(ReplyStatus(), 2);

    // A refusal.
    Chunk({0x7E, 0x00, 0x05, 0xAA, 0xBB, 0x7E});
    nResult = WaitForReply(1000);
    EXPECT_EQ(nResult, REPLY_OK);
    EXPECT_FALSE(IsReplySuccess(nResult));
    EXPECT_EQ(ReplyStatus(), 5);

    // A reply too short to carry a status never passes for the stale one before it.
    Chunk({0x7E, 0x00, 0x02, 0xAA, 0xBB, 0x7E});
    EXPECT_TRUE(IsReplySuccess(WaitForReply(1000)));
    Chunk({0x7E, 0x09, 0x7E});
    nResult = WaitForReply(1000);
    EXPECT_EQ(nResult, REPLY_OK);
    EXPECT_FALSE(IsReplySuccess(nResult));
    EXPECT_EQ(ReplyLength, 1);
}

TEST_F(ReceiveTest, LateReplyIsTakenByTheNextWait)
{
    m_pComm->m_wUnescapeMode = 1;
    EXPECT_EQ(WaitForReply(100), REPLY_TIMEOUT);
    Chunk({0x7E, 0x00, 0x02, 0xAA, 0xBB, 0x7E});
    EXPECT_EQ(WaitForReply(100), REPLY_OK);
}

TEST_F(ReceiveTest, MissingEventShowsEventErrorAndFails)
{
    std::vector<std::string> shown;
    Platform::SetMessageSink([&](const std::string& strText, const std::string&) { shown.push_back(strText); });
    CBaseComm::Discard(g_pComm);
    g_pComm = new CBaseComm();  // no reply event was created
    EXPECT_EQ(WaitForReply(100), REPLY_WAIT_FAILED);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "Event Error!");
    EXPECT_EQ(MessageText, "Event Error!");
}
