// The frame as the device sees it: vectors, escaping, CRC, and how large frames are cut into writes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "download/crc16.h"
#include "download/frame_codec.h"
#include "download/protocol.h"

namespace {

std::vector<uint8_t> Frame(std::vector<uint8_t> payload, uint8_t byTag)
{
    std::vector<uint8_t> out(2 * payload.size() + 7);
    out.resize(BuildFrame(payload.data(), payload.size(), byTag, out.data()));
    return out;
}

}  // namespace

TEST(Crc16, CheckValueAndTable)
{
    const char* psz = "123456789";
    EXPECT_EQ(Crc16X25(reinterpret_cast<const uint8_t*>(psz), 9), 0x906E);
    EXPECT_EQ(CRC16_TABLE[0], 0x0000);
    EXPECT_EQ(CRC16_TABLE[1], 0x1189);
    EXPECT_EQ(CRC16_TABLE[128], 0x8408);
    EXPECT_EQ(CRC16_TABLE[255], 0x0F78);
    // Feeding in pieces gives the same value as one pass.
    uint16_t wCrc = Crc16Update(CRC16_INIT, reinterpret_cast<const uint8_t*>(psz), 4);
    wCrc = Crc16Update(wCrc, reinterpret_cast<const uint8_t*>(psz) + 4, 5);
    EXPECT_EQ(Crc16Final(wCrc), 0x906E);
}

TEST(FrameCodec, CommandVectors)
{
    EXPECT_EQ(Frame({0xA0}, 0), (std::vector<uint8_t>{0x7E, 0x00, 0xA0, 0x72, 0x55, 0x7E}));
    EXPECT_EQ(Frame({0xED}, 1), (std::vector<uint8_t>{0x7E, 0x01, 0xED, 0x93, 0xCC, 0x7E}));
    EXPECT_EQ(Frame({0xEE, 0x00, 0x00, 0x7E, 0x00, 0x00, 0x00, 0x1C, 0x00, 0x00, 0x00}, 1),
              (std::vector<uint8_t>{0x7E, 0x01, 0xEE, 0x00, 0x00, 0x7D, 0x5E, 0x00, 0x00, 0x00, 0x1C, 0x00, 0x00,
                                    0x00, 0x7C, 0x17, 0x7E}));
}

TEST(FrameCodec, EscapesPayloadAndCrcButNeverTheTag)
{
    for (int i = 0; i < 256; ++i) {
        const EscapedByte esc = EscapeByte(static_cast<uint8_t>(i));
        const bool bSpecial = i >= 0x7D && i <= 0x7F;
        EXPECT_EQ(esc.bEscape, bSpecial) << i;
        EXPECT_EQ(esc.byValue, bSpecial ? (i ^ 0x20) : i) << i;
    }
    EXPECT_EQ(Frame({0x7D, 0x7E, 0x7F, 0x11, 0x13, 0x80, 0xFF}, 0x7E)[1], 0x7E);
    const std::vector<uint8_t> body = Frame({0x7D, 0x7E, 0x7F, 0x11, 0x13, 0x80, 0xFF}, 0x7E);
    EXPECT_EQ(std::vector<uint8_t>(body.begin() + 2, body.begin() + 12),
              (std::vector<uint8_t>{0x7D, 0x5D, 0x7D, 0x5E, 0x7D, 0x5F, 0x11, 0x13, 0x80, 0xFF}));

    // Find payloads whose CRC bytes fall into the escaped range and check both positions.
    bool bLowSeen = false;
    bool bHighSeen = false;
    for (uint32_t n = 0; n < 0x10000 && !(bLowSeen && bHighSeen); ++n) {
        const uint8_t payload[2] = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8)};
        if (EscapeByte(payload[0]).bEscape || EscapeByte(payload[1]).bEscape) {
            continue;
        }
        const uint16_t wCrc = Crc16X25(payload, 2);
        const uint8_t byLow = static_cast<uint8_t>(wCrc);
        const uint8_t byHigh = static_cast<uint8_t>(wCrc >> 8);
        const std::vector<uint8_t> frame = Frame({payload[0], payload[1]}, 3);
        std::vector<uint8_t> expected = {0x7E, 3, payload[0], payload[1]};
        for (uint8_t b : {byLow, byHigh}) {
            if (EscapeByte(b).bEscape) {
                expected.push_back(0x7D);
                expected.push_back(static_cast<uint8_t>(b ^ 0x20));
            } else {
                expected.push_back(b);
            }
        }
        expected.push_back(0x7E);
        if (EscapeByte(byLow).bEscape && !bLowSeen) {
            bLowSeen = true;
            EXPECT_EQ(frame, expected);
        }
        if (EscapeByte(byHigh).bEscape && !bHighSeen) {
            bHighSeen = true;
            EXPECT_EQ(frame, expected);
        }
    }
    EXPECT_TRUE(bLowSeen && bHighSeen);
}

TEST(FrameCodec, LargeFramePieces)
{
    LargeFramePlan plan = PlanLargeFrame(16400);
    EXPECT_TRUE(plan.bSend);
    EXPECT_EQ(plan.nFullPieces, 4);
    EXPECT_EQ(plan.nLastPiece, 16u);

    plan = PlanLargeFrame(20480);
    EXPECT_TRUE(plan.bSend);
    EXPECT_EQ(plan.nFullPieces, 5);
    EXPECT_EQ(plan.nLastPiece, 0u);  // the empty final write is still made

    plan = PlanLargeFrame(32767);
    EXPECT_TRUE(plan.bSend);
    EXPECT_EQ(plan.nFullPieces, 7);
    EXPECT_EQ(plan.nLastPiece, 32767u - 7 * 4096);

    EXPECT_FALSE(PlanLargeFrame(32768).bSend);
    EXPECT_FALSE(PlanLargeFrame(32789).bSend);

    // A real write-data frame: a block of 0x7E escapes every data byte and cannot be sent.
    std::vector<uint8_t> payload(WRITE_PAYLOAD_SIZE, 0x7E);
    std::vector<uint8_t> frame(2 * payload.size() + 7);
    EXPECT_FALSE(PlanLargeFrame(BuildFrame(payload.data(), payload.size(), 2, frame.data())).bSend);
    std::fill(payload.begin(), payload.end(), 0x00);
    const size_t nPlain = BuildFrame(payload.data(), payload.size(), 2, frame.data());
    EXPECT_GE(nPlain, 16391u + 5);  // flags, tag and two CRC bytes (escaped or not)
    plan = PlanLargeFrame(nPlain);
    EXPECT_EQ(plan.nFullPieces, 4);
    EXPECT_EQ(plan.nLastPiece, nPlain - 16384);
}

TEST(FrameCodec, UnescapeStopsAtTheEnd)
{
    const uint8_t in[] = {0x00, 0x7D, 0x5E, 0x02, 0x7D};
    uint8_t out[sizeof(in)];
    const size_t n = UnescapeBytes(in, sizeof(in), out);
    EXPECT_EQ(std::vector<uint8_t>(out, out + n), (std::vector<uint8_t>{0x00, 0x7E, 0x02}));
}
