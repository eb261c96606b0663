// The device's deframer and reply frames, over bytes.
#include <gtest/gtest.h>

#include <vector>

#include "sim/device_frames.h"

using Sim::CDeviceDeframer;
using Sim::HostFrame;

namespace {

// Host frames as they go on the wire (the codec's documented examples).
const std::vector<uint8_t> STARTUP_FRAME = {0x7E, 0x00, 0xA0, 0x72, 0x55, 0x7E};
const std::vector<uint8_t> ERASE_FRAME = {0x7E, 0x01, 0xEE, 0x00, 0x00, 0x7D, 0x5E, 0x00, 0x00,
                                          0x00, 0x1C, 0x00, 0x00, 0x00, 0x7C, 0x17, 0x7E};
const std::vector<uint8_t> ERASE_PAYLOAD = {0xEE, 0x00, 0x00, 0x7E, 0x00, 0x00, 0x00, 0x1C, 0x00, 0x00, 0x00};

std::vector<HostFrame> Feed(CDeviceDeframer* pDeframer, const std::vector<uint8_t>& bytes)
{
    std::vector<HostFrame> frames;
    pDeframer->Push(bytes.data(), bytes.size(), &frames);
    return frames;
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

}  // namespace

TEST(DeviceDeframer, DecodesTheHostsFramesWhateverTheSplit)
{
    const std::vector<uint8_t> stream = Concat({STARTUP_FRAME, ERASE_FRAME, STARTUP_FRAME});
    // Every way of cutting the stream in two, and byte by byte.
    for (size_t nCut = 0; nCut <= stream.size(); ++nCut) {
        CDeviceDeframer deframer;
        std::vector<HostFrame> frames;
        deframer.Push(stream.data(), nCut, &frames);
        deframer.Push(stream.data() + nCut, stream.size() - nCut, &frames);
        ASSERT_EQ(frames.size(), 3u) << "cut at " << nCut;
        EXPECT_EQ(frames[0].byTag, 0);
        EXPECT_EQ(frames[0].payload, std::vector<uint8_t>{0xA0});
        EXPECT_EQ(frames[1].byTag, 1);
        EXPECT_EQ(frames[1].payload, ERASE_PAYLOAD);
        for (const HostFrame& frame : frames) {
            EXPECT_TRUE(frame.bCrcOk);
            EXPECT_FALSE(frame.bMalformed);
        }
    }
    CDeviceDeframer deframer;
    std::vector<HostFrame> frames;
    for (uint8_t byByte : stream) {
        deframer.Push(&byByte, 1, &frames);
    }
    EXPECT_EQ(frames.size(), 3u);
}

TEST(DeviceDeframer, FlagsTheWrongCrcAndSkipsNoiseBeforeTheFirstFlag)
{
    std::vector<uint8_t> corrupted = ERASE_FRAME;
    corrupted[3] ^= 0x01;  // one payload bit
    CDeviceDeframer deframer;
    auto frames = Feed(&deframer, Concat({{0x11, 0x13, 0xFF}, corrupted, STARTUP_FRAME}));
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_FALSE(frames[0].bCrcOk);
    EXPECT_TRUE(frames[1].bCrcOk);
    EXPECT_EQ(deframer.GetSkippedBytes(), 3u);
}

TEST(DeviceDeframer, RecoversAfterACutFrameAndIgnoresEmptyFrames)
{
    // A frame cut short: its body runs into the next frame's opening flag. The frame after that
    // must still be found, and so must every later one.
    std::vector<uint8_t> cut(ERASE_FRAME.begin(), ERASE_FRAME.begin() + 8);
    CDeviceDeframer deframer;
    auto frames = Feed(&deframer, Concat({cut, STARTUP_FRAME, {0x7E, 0x7E, 0x7E}, ERASE_FRAME, STARTUP_FRAME}));
    int nGood = 0;
    for (const HostFrame& frame : frames) {
        nGood += frame.bCrcOk ? 1 : 0;
    }
    EXPECT_EQ(nGood, 3);
    ASSERT_FALSE(frames.empty());
    EXPECT_FALSE(frames[0].bCrcOk);
    EXPECT_EQ(frames.back().payload, std::vector<uint8_t>{0xA0});
}

TEST(DeviceDeframer, MarksAbortedShortAndOverlongFramesMalformed)
{
    CDeviceDeframer deframer;
    // 7D 7E aborts; "7E 05 A0 7E" has no room for a CRC.
    auto frames = Feed(&deframer, {0x7E, 0x00, 0xA0, 0x7D, 0x7E, 0x7E, 0x05, 0xA0, 0x7E});
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_TRUE(frames[0].bMalformed);
    EXPECT_TRUE(frames[1].bMalformed);

    std::vector<uint8_t> overlong(40000, 0x11);
    overlong.insert(overlong.begin(), {0x7E, 0x02});
    overlong.push_back(0x7E);
    frames = Feed(&deframer, Concat({overlong, STARTUP_FRAME}));
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_TRUE(frames[0].bMalformed);
    EXPECT_TRUE(frames[0].payload.empty());  // not kept: the body could be anything
    EXPECT_TRUE(frames[1].bCrcOk);
}

TEST(ReplyFrame, CarriesTheStatusWithItsCrcEscapedLikeTheHosts)
{
    EXPECT_EQ(Sim::BuildReplyFrame(2, 0x02, false), (std::vector<uint8_t>{0x7E, 0x02, 0x02, 0x6A, 0xD3, 0x7E}));
    // A status in 7D..7F is escaped; so is a CRC byte there (CRC of 0x60 is 0x937E).
    EXPECT_EQ(Sim::BuildReplyFrame(0, 0x7E, false),
              (std::vector<uint8_t>{0x7E, 0x00, 0x7D, 0x5E, 0x81, 0x6A, 0x7E}));
    EXPECT_EQ(Sim::BuildReplyFrame(1, 0x60, false),
              (std::vector<uint8_t>{0x7E, 0x01, 0x60, 0x7D, 0x5E, 0x93, 0x7E}));
    std::vector<uint8_t> bad = Sim::BuildReplyFrame(2, 0x02, true);
    ASSERT_GE(bad.size(), 6u);
    EXPECT_EQ(bad[2], 0x02);
    EXPECT_NE(bad[3], 0x6A);
    EXPECT_NE(bad[4], 0xD3);
    // The device's own deframer reads a reply back with its CRC verdict.
    CDeviceDeframer deframer;
    auto frames = Feed(&deframer, Concat({Sim::BuildReplyFrame(1, 0x60, false), bad}));
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_TRUE(frames[0].bCrcOk);
    EXPECT_EQ(frames[0].payload, std::vector<uint8_t>{0x60});
    EXPECT_FALSE(frames[1].bCrcOk);
}
