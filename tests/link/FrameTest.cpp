// Request and reply frames: their layout and checksum.
#include <gtest/gtest.h>

#include "Frame.h"

namespace tavolex {
namespace {

TEST(Frame, RequestsCarryPayloadLengthAndPayload) {
    const Bytes payload{0x01, 0x00};
    EXPECT_EQ(RequestFrame(0x00, 0x09, payload),
              (Bytes{0x14, 0x3F, 0x00, 0x00, 0x09, 0x00, 0x02, 0x01, 0x00, 0xFF, 0xB4}));
    const Bytes channel{0x00};
    EXPECT_EQ(RequestFrame(0x00, 0x08, channel),
              (Bytes{0x14, 0x3F, 0x00, 0x00, 0x08, 0x00, 0x01, 0x00, 0xFF, 0xB7}));
}

TEST(Frame, ChecksumKeepsOnlyTheLow16BitsOfTheSum) {
    // 300 bytes of 0xFF sum to 0x12AD5 (the leading byte is not covered).
    Bytes frame(301, 0xFF);
    const std::uint16_t low16 = static_cast<std::uint16_t>(300 * 0xFF);
    EXPECT_EQ(FrameChecksum(frame, frame.size()), static_cast<std::uint16_t>(low16 ^ 0xFFFF));
}

TEST(Frame, ChecksumNeverReadsPastTheFrame) {
    const Bytes buffer{0x14, 0x01, 0x02, 0x50, 0x60};
    const ByteView frame(buffer.data(), 3);
    EXPECT_EQ(FrameChecksum(frame, 5), static_cast<std::uint16_t>((0x01 + 0x02) ^ 0xFFFF));
}

TEST(Frame, ReplyChecksumMustMatchInBothBytes) {
    const Bytes data{0x20};
    Bytes reply = ReplyFrame(0x00, 0x08, data);
    EXPECT_TRUE(HasValidChecksum(reply));
    reply[reply.size() - 1] ^= 0x01;
    EXPECT_FALSE(HasValidChecksum(reply));
    reply[reply.size() - 1] ^= 0x01;
    reply[reply.size() - 2] ^= 0x80;
    EXPECT_FALSE(HasValidChecksum(reply));
}

}  // namespace
}  // namespace tavolex
