#include "RequestParser.h"

#include <gtest/gtest.h>

#include "Commands.h"

namespace tavolex::sim {
namespace {

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Bytes kReadClock = RequestFrame(1, command::kReadClock);
const Bytes kSetInterval = RequestFrame(7, command::kSetRecordingInterval, Bytes{5});

TEST(RequestParser, FindsFramesAmongNoiseFalseStartsAndBrokenFrames) {
    Bytes broken = kReadClock;
    broken.back() ^= 0x01;
    // Noise with a lone 14, a 14 3F whose length is impossible, a frame with a wrong checksum
    // and a frame cut short by a newer one: only the two good frames come out.
    const Bytes stream =
        Concat({Bytes{0x00, 0x14, 0x55, 0x14, 0x3F, 0x00, 0x01, 0x0B, 0x00, 0xFF}, broken,
                Bytes{0x14, 0x3F, 0x00, 0x01, 0x0B}, kReadClock, kSetInterval});
    RequestParser parser;
    const auto requests = parser.feed(stream);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].code, command::kReadClock);
    EXPECT_EQ(requests[1].code, command::kSetRecordingInterval);
    EXPECT_EQ(parser.pendingBytes(), 0u);
    EXPECT_GT(parser.discardedBytes(), 0u);
}

TEST(RequestParser, WaitsForWholeFramesHoweverTheBytesAreSplit) {
    const Bytes stream = Concat({kReadClock, kSetInterval});
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        RequestParser parser;
        auto requests = parser.feed(ByteView(stream).first(cut));
        // Nothing comes out before a frame's last byte is in.
        const std::size_t complete =
            (cut >= kReadClock.size() ? 1 : 0) + (cut == stream.size() ? 1 : 0);
        EXPECT_EQ(requests.size(), complete) << "cut at " << cut;
        const auto rest = parser.feed(ByteView(stream).subspan(cut));
        requests.insert(requests.end(), rest.begin(), rest.end());
        ASSERT_EQ(requests.size(), 2u) << "cut at " << cut;
        EXPECT_EQ(requests[1].address, 7);
        EXPECT_EQ(requests[1].code, command::kSetRecordingInterval);
        EXPECT_EQ(requests[1].payload, Bytes{5});
        EXPECT_EQ(parser.pendingBytes(), 0u);
    }
}

}  // namespace
}  // namespace tavolex::sim
