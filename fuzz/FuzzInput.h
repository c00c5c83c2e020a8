// What every fuzz target shares: the fuzzer's bytes read from the front as a small script of
// replies, and a scripted instrument line on a manual clock to play them on, so that a target
// runs the program's real operations on whatever an instrument might send.
//
// An input is a selector byte (which operation, with which argument), then one reply per
// request: a timing byte, a length byte and that many bytes (fewer when the input ends). The
// timing byte's low nibble cuts the reply in two at that many sixteenths of its length; bits
// 4-5 pick when the first part arrives, bits 6-7 how much later the second does. A timing byte
// 0 sends the reply whole and at once, so a valid frame behind "00 <length>" is a valid reply.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FakeLine.h"
#include "Frame.h"
#include "ManualClock.h"
#include "RecordingOperator.h"
#include "StaticHost.h"

namespace tavolex::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool empty() const { return m_at >= m_size; }
    // The next byte, 0 once the input has ended.
    std::uint8_t byte() { return empty() ? 0 : m_data[m_at++]; }
    // Up to `count` further bytes.
    ByteView bytes(std::size_t count) {
        const std::size_t n = empty() ? 0 : std::min(count, m_size - m_at);
        const ByteView view(m_data + m_at, n);
        m_at += n;
        return view;
    }
    // A length byte and that many bytes.
    ByteView chunk() { return bytes(byte()); }
    ByteView rest() { return bytes(m_size); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// Arrival times a timing byte picks from: at once, within the generic transaction's pause,
// inside most waits, and later than any wait.
inline constexpr std::chrono::milliseconds kArrivals[] = {
    std::chrono::milliseconds(0), std::chrono::milliseconds(40), std::chrono::milliseconds(700),
    std::chrono::milliseconds(12000)};

// The reply to the next request, read from the input.
inline std::vector<testing::Chunk> ReplyChunks(FuzzInput& input) {
    const std::uint8_t timing = input.byte();
    const ByteView reply = input.chunk();
    const std::size_t cut = reply.size() * (timing & 0x0F) / 16;
    const auto first = kArrivals[(timing >> 4) & 3];
    const auto second = first + kArrivals[(timing >> 6) & 3];
    return {{first, Bytes(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(cut))},
            {second, Bytes(reply.begin() + static_cast<std::ptrdiff_t>(cut), reply.end())}};
}

// Every request the operation makes is answered from the input, in order.
inline void AnswerFromInput(testing::FakeLine& line, FuzzInput& input) {
    line.responder = [&input](ByteView) { return ReplyChunks(input); };
}

// A line, a window and an operator, fresh for every input.
struct Bench {
    ManualClock clock;
    testing::FakeLine line{clock};
    testing::FakeLink link{line};
    testing::StaticHost window;
    testing::RecordingOperator person;
};

// A property that must hold whatever the instrument sent; a violation is a finding.
inline void Require(bool holds) {
    if (!holds) std::abort();
}

}  // namespace tavolex::fuzz
