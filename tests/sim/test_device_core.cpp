// The device's session, flash and faults, frame by frame (no pty).
#include <gtest/gtest.h>

#include <vector>

#include "sim/device_core.h"
#include "tests/sim/sim_test_support.h"

using namespace Sim;
using namespace SimTest;

namespace {

class DeviceCoreTest : public ::testing::Test {
protected:
    // Sends a frame through the deframer, as the wire would, and returns what the device does.
    DeviceAction Send(uint8_t byTag, const std::vector<uint8_t>& payload)
    {
        std::vector<uint8_t> bytes = HostFrameBytes(byTag, payload);
        std::vector<HostFrame> frames;
        m_deframer.Push(bytes.data(), bytes.size(), &frames);
        EXPECT_EQ(frames.size(), 1u);
        return frames.empty() ? DeviceAction{} : m_core.HandleFrame(frames[0], 0);
    }
    // The status the device answered with; -1 for no reply.
    int Status(uint8_t byTag, const std::vector<uint8_t>& payload)
    {
        DeviceAction action = Send(byTag, payload);
        if (action.chunks.empty()) {
            return -1;
        }
        std::vector<HostFrame> frames;
        CDeviceDeframer replies;
        for (const auto& chunk : action.chunks) {
            replies.Push(chunk.data(), chunk.size(), &frames);
        }
        EXPECT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0].byTag, byTag);
        return frames.empty() || frames[0].payload.size() != 1 ? -2 : frames[0].payload[0];
    }
    void OpenSession() { ASSERT_EQ(Status(0, StartupPayload()), STATUS_OK); }
    std::vector<uint8_t> Block(uint8_t bySeed)
    {
        std::vector<uint8_t> block(FLASH_UNIT);
        for (size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<uint8_t>(i * 13 + bySeed);
        }
        return block;
    }

    CDeviceCore m_core;
    CDeviceDeframer m_deframer;
};

}  // namespace

TEST_F(DeviceCoreTest, AWholeSessionProgramsTheFlashAndEndsInAHangUp)
{
    const uint32_t dwBase = 0x00300000;
    const std::vector<uint8_t> old = {m_core.GetFlash().Data() + dwBase, m_core.GetFlash().Data() + dwBase + 16};
    EXPECT_NE(old, std::vector<uint8_t>(16, 0xFF)) << "power-up flash must not look erased";

    OpenSession();
    EXPECT_EQ(Status(1, ErasePayload(dwBase, 3 * FLASH_UNIT)), STATUS_OK);
    std::vector<uint8_t> a = Block(1), b = Block(2);
    EXPECT_EQ(Status(2, WritePayload(dwBase, a.data())), STATUS_OK);
    EXPECT_EQ(Status(3, WritePayload(dwBase + FLASH_UNIT, b.data())), STATUS_OK);
    EXPECT_EQ(Status(1, CloseUsbPayload()), STATUS_OK);
    EXPECT_EQ(Status(0, StartupPayload()), STATUS_OK);  // the unlock
    EXPECT_EQ(m_core.GetState(), SESSION_UNLOCKED);
    EXPECT_EQ(Status(1, RebuildPayload()), STATUS_OK);
    DeviceAction reset = Send(2, ResetPayload());
    EXPECT_TRUE(reset.bHangUp);
    EXPECT_FALSE(reset.chunks.empty());

    const uint8_t* pFlash = m_core.GetFlash().Data();
    EXPECT_TRUE(std::equal(a.begin(), a.end(), pFlash + dwBase));
    EXPECT_TRUE(std::equal(b.begin(), b.end(), pFlash + dwBase + FLASH_UNIT));
    EXPECT_EQ(std::vector<uint8_t>(pFlash + dwBase + 2 * FLASH_UNIT, pFlash + dwBase + 3 * FLASH_UNIT),
              std::vector<uint8_t>(FLASH_UNIT, 0xFF));
    EXPECT_EQ(pFlash[dwBase + 3 * FLASH_UNIT], OldFirmwareByte(dwBase + 3 * FLASH_UNIT));  // outside the erase

    const auto& transcript = m_core.GetTranscript();
    ASSERT_EQ(transcript.size(), 8u);
    const CommandKind expected[] = {KIND_STARTUP, KIND_ERASE,   KIND_WRITE,   KIND_WRITE,
                                    KIND_CLOSE,   KIND_UNLOCK, KIND_REBUILD, KIND_RESET};
    for (size_t i = 0; i < transcript.size(); ++i) {
        EXPECT_EQ(transcript[i].nKind, expected[i]) << i;
        EXPECT_EQ(transcript[i].nReplyStatus, STATUS_OK) << i;
    }
    EXPECT_EQ(transcript[1].dwAddress, dwBase);
    EXPECT_EQ(transcript[1].dwLength, 3 * FLASH_UNIT);
    EXPECT_EQ(transcript[3].dwAddress, dwBase + FLASH_UNIT);
    EXPECT_EQ(transcript[3].byTag, 3);
}

TEST_F(DeviceCoreTest, RefusesWhatIsOutOfOrderOutOfRangeMisalignedOrProgrammedTwice)
{
    std::vector<uint8_t> block = Block(7);
    EXPECT_EQ(Status(1, ErasePayload(0, FLASH_UNIT)), STATUS_OUT_OF_ORDER);      // before the startup
    EXPECT_EQ(Status(1, RebuildPayload()), STATUS_OUT_OF_ORDER);
    EXPECT_EQ(Status(2, ResetPayload()), STATUS_OUT_OF_ORDER);
    OpenSession();
    EXPECT_EQ(Status(1, ErasePayload(0x1000, FLASH_UNIT)), STATUS_MISALIGNED);
    EXPECT_EQ(Status(1, ErasePayload(0, 100)), STATUS_MISALIGNED);
    EXPECT_EQ(Status(1, ErasePayload(FLASH_SIZE - FLASH_UNIT, 2 * FLASH_UNIT)), STATUS_OUT_OF_RANGE);
    EXPECT_EQ(Status(1, ErasePayload(0xFFFFC000, 0x8000)), STATUS_OUT_OF_RANGE);  // wraps around 32 bits
    EXPECT_EQ(Status(1, ErasePayload(FLASH_SIZE - FLASH_UNIT, FLASH_UNIT)), STATUS_OK);
    EXPECT_EQ(Status(1, ErasePayload(0x8000, 0)), STATUS_OK);  // an empty partition erases nothing
    EXPECT_EQ(Status(2, WritePayload(0x100000, block.data())), STATUS_NOT_ERASED);  // never erased
    EXPECT_EQ(Status(2, WritePayload(FLASH_SIZE, block.data())), STATUS_OUT_OF_RANGE);
    EXPECT_EQ(Status(2, WritePayload(FLASH_SIZE - FLASH_UNIT + 0x200, block.data())), STATUS_MISALIGNED);
    EXPECT_EQ(Status(2, WritePayload(FLASH_SIZE - FLASH_UNIT, block.data(), 0x3FFF)), STATUS_BAD_LENGTH);
    EXPECT_EQ(Status(2, {0xDD, 0, 0, 0, 0, 0, 0x40}), STATUS_BAD_LENGTH);  // header without data
    EXPECT_EQ(Status(3, WritePayload(FLASH_SIZE - FLASH_UNIT, block.data())), STATUS_OK);
    std::vector<uint8_t> other = Block(8);
    EXPECT_EQ(Status(0, WritePayload(FLASH_SIZE - FLASH_UNIT, other.data())), STATUS_NOT_ERASED);
    EXPECT_EQ(m_core.GetFlash().Data()[FLASH_SIZE - 1], block.back());
    EXPECT_EQ(Status(1, {0x42, 1, 2}), STATUS_UNKNOWN_COMMAND);
    EXPECT_EQ(Status(1, {0xA0, 0}), STATUS_BAD_LENGTH);
    EXPECT_EQ(Status(1, RebuildPayload()), STATUS_OUT_OF_ORDER);  // before close-USB and unlock
    EXPECT_EQ(Status(1, CloseUsbPayload()), STATUS_OK);
    EXPECT_EQ(Status(1, ErasePayload(0, FLASH_UNIT)), STATUS_OUT_OF_ORDER);  // session closed
    EXPECT_EQ(Status(0, StartupPayload()), STATUS_OK);
    EXPECT_EQ(Status(2, ResetPayload()), STATUS_OUT_OF_ORDER);  // unlocked but not rebuilt
    for (const TranscriptEntry& entry : m_core.GetTranscript()) {
        if (entry.nReplyStatus != STATUS_OK) {
            EXPECT_FALSE(entry.strNote.empty()) << "refusals say why: #" << entry.nIndex;
        }
    }
}

TEST_F(DeviceCoreTest, ARepeatedFrameIsAnsweredAgainWithoutProgrammingTwice)
{
    std::vector<uint8_t> block = Block(3);
    OpenSession();
    EXPECT_EQ(Status(0, StartupPayload()), STATUS_OK);  // the host tried again after a lost reply
    EXPECT_EQ(Status(1, ErasePayload(0, FLASH_UNIT)), STATUS_OK);
    EXPECT_EQ(Status(2, WritePayload(0, block.data())), STATUS_OK);
    EXPECT_EQ(Status(2, WritePayload(0, block.data())), STATUS_OK);  // same tag, same block: a resend
    EXPECT_EQ(m_core.GetFlash().Unit(0).nProgramCount, 1u);
    EXPECT_EQ(Status(3, WritePayload(0, block.data())), STATUS_NOT_ERASED);  // another block at the same place
    EXPECT_EQ(m_core.GetTranscript()[1].strNote, "repeat, answered again");
    EXPECT_EQ(m_core.GetTranscript()[4].strNote, "repeat, answered again");
}

TEST_F(DeviceCoreTest, FaultsHitTheChosenOccurrencesOfTheirKind)
{
    std::vector<FaultRule> faults(4);
    std::string strError;
    ASSERT_TRUE(ParseFaultRule("no-reply", "startup:first=2", &faults[0], &strError)) << strError;
    ASSERT_TRUE(ParseFaultRule("status", "erase=9:every=2", &faults[1], &strError)) << strError;
    ASSERT_TRUE(ParseFaultRule("delay", "close=1500", &faults[2], &strError)) << strError;
    ASSERT_TRUE(ParseFaultRule("bad-crc", "unlock", &faults[3], &strError)) << strError;
    m_core.SetFaults(faults);

    EXPECT_EQ(Status(0, StartupPayload()), -1);
    EXPECT_EQ(Status(0, StartupPayload()), -1);
    EXPECT_EQ(m_core.GetState(), SESSION_POWERED) << "a lost command is not carried out";
    EXPECT_EQ(Status(0, StartupPayload()), STATUS_OK);
    EXPECT_EQ(Status(1, ErasePayload(0, FLASH_UNIT)), STATUS_OK);
    EXPECT_EQ(Status(1, ErasePayload(FLASH_UNIT, FLASH_UNIT)), 9);
    EXPECT_EQ(m_core.GetFlash().Unit(1).nEraseCount, 0u) << "a refused command is not carried out";
    EXPECT_EQ(Status(1, ErasePayload(FLASH_UNIT, FLASH_UNIT)), STATUS_OK);
    EXPECT_EQ(Status(1, ErasePayload(2 * FLASH_UNIT, FLASH_UNIT)), 9);
    DeviceAction close = Send(1, CloseUsbPayload());
    EXPECT_EQ(close.nDelayMs, 1500u);
    EXPECT_EQ(m_core.GetState(), SESSION_CLOSED);
    // The unlock's reply has a CRC that does not match its status.
    DeviceAction unlock = Send(0, StartupPayload());
    ASSERT_EQ(unlock.chunks.size(), 1u);
    std::vector<HostFrame> frames;
    CDeviceDeframer replies;
    replies.Push(unlock.chunks[0].data(), unlock.chunks[0].size(), &frames);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_FALSE(frames[0].bCrcOk);
    EXPECT_EQ(frames[0].payload, std::vector<uint8_t>{STATUS_OK});
    EXPECT_EQ(m_core.GetState(), SESSION_UNLOCKED);
}

TEST_F(DeviceCoreTest, ReplyShapesCutTheFrameWhereAsked)
{
    const std::vector<uint8_t> plain = {0x7E, 0x00, 0x02, 0x6A, 0xD3, 0x7E};
    struct Case {
        const char* pszOption;
        const char* pszValue;
        std::vector<std::vector<uint8_t>> chunks;
    } cases[] = {
        {"split", "trailing-flag", {{0x7E, 0x00, 0x02, 0x6A, 0xD3}, {0x7E}}},
        {"split", "after-tag", {{0x7E, 0x00}, {0x02, 0x6A, 0xD3, 0x7E}}},
        {"split", "extra-byte", {{0x7E, 0x00, 0x02, 0x6A, 0xD3, 0x7E, 0x0A}}},
        {"split", "extra-byte=0x33", {{0x7E, 0x00, 0x02, 0x6A, 0xD3, 0x7E, 0x33}}},
        {"split", "leading-7f", {{0x7F, 0x7E, 0x00, 0x02, 0x6A, 0xD3, 0x7E}}},
        {"garbage", "00a5ff", {plain, {0x00, 0xA5, 0xFF}}},
    };
    for (const Case& c : cases) {
        CDeviceCore core;
        FaultRule rule;
        std::string strError;
        ASSERT_TRUE(ParseFaultRule(c.pszOption, std::string(c.pszValue) + ":first=1", &rule, &strError)) << strError;
        core.SetFaults({rule});
        std::vector<uint8_t> bytes = HostFrameBytes(0, StartupPayload());
        std::vector<HostFrame> frames;
        CDeviceDeframer deframer;
        deframer.Push(bytes.data(), bytes.size(), &frames);
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(core.HandleFrame(frames[0], 0).chunks, c.chunks) << c.pszValue;
        // first=1: the next reply is whole again.
        EXPECT_EQ(core.HandleFrame(frames[0], 0).chunks, std::vector<std::vector<uint8_t>>{plain}) << c.pszValue;
    }
}

TEST_F(DeviceCoreTest, UnplugsAfterTheChosenBlockAndIgnoresBadFrames)
{
    m_core.SetUnplugAfterWrites(2);
    std::vector<uint8_t> block = Block(5);
    OpenSession();
    // A frame with a wrong CRC is recorded but not answered.
    std::vector<uint8_t> bytes = HostFrameBytes(1, ErasePayload(0, 4 * FLASH_UNIT));
    bytes[4] ^= 0x40;
    std::vector<HostFrame> frames;
    m_deframer.Push(bytes.data(), bytes.size(), &frames);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(m_core.HandleFrame(frames[0], 0).chunks.empty());
    EXPECT_FALSE(m_core.GetTranscript().back().bCrcOk);
    EXPECT_EQ(m_core.GetFlash().Unit(0).nEraseCount, 0u);

    EXPECT_EQ(Status(1, ErasePayload(0, 4 * FLASH_UNIT)), STATUS_OK);
    EXPECT_FALSE(Send(2, WritePayload(0, block.data())).bHangUp);
    DeviceAction second = Send(3, WritePayload(FLASH_UNIT, block.data()));
    EXPECT_TRUE(second.bHangUp);
    EXPECT_FALSE(second.chunks.empty()) << "the block is answered before the device goes";
}
