// Request and reply frames: their layout and checksum.
#include <gtest/gtest.h>

#include "Frame.h"

namespace tavolex {
namespace {

TEST(Frame, RequestsCarryPayloadLengthAndPayload) {
    EXPECT_EQ(RequestFrame(0x00, 0x09, Bytes{0x01, 0x00}),
              (Bytes{0x14, 0x3F, 0x00, 0x00, 0x09, 0x00, 0x02, 0x01, 0x00, 0xFF, 0xB4}));
    EXPECT_EQ(RequestFrame(0x00, 0x08, Bytes{0x00}),
              (Bytes{0x14, 0x3F, 0x00, 0x00, 0x08, 0x00, 0x01, 0x00, 0xFF, 0xB7}));
}

// A reply's checksum must match in both bytes.
TEST(Frame, ChecksumKeepsOnlyTheLow16BitsOfTheSumAndMustMatchInBothBytes) {
    // 300 bytes of 0xFF sum to 0x12AD5 (the leading byte is not covered).
    Bytes frame(301, 0xFF);
    const std::uint16_t low16 = static_cast<std::uint16_t>(300 * 0xFF);
    EXPECT_EQ(FrameChecksum(frame, frame.size()), static_cast<std::uint16_t>(low16 ^ 0xFFFF));
    // It never reads past the frame.
    const Bytes buffer{0x14, 0x01, 0x02, 0x50, 0x60};
    EXPECT_EQ(FrameChecksum(ByteView(buffer.data(), 3), 5),
              static_cast<std::uint16_t>((0x01 + 0x02) ^ 0xFFFF));
    Bytes reply = ReplyFrame(0x00, 0x08, Bytes{0x20});
    EXPECT_TRUE(HasValidChecksum(reply));
    reply[reply.size() - 1] ^= 0x01;
    EXPECT_FALSE(HasValidChecksum(reply));
    reply[reply.size() - 1] ^= 0x01;
    reply[reply.size() - 2] ^= 0x80;
    EXPECT_FALSE(HasValidChecksum(reply));
}

}  // namespace
}  // namespace tavolex
