// The latest reply to the read-temperatures command, laid out as a reply frame:
// words 0-3 are the PT100 channels 1-4, word 4 + k is digital channel k + 1.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "TenthDegree.h"

namespace tavolex {

inline constexpr int kMinTemperatureWords = 4;
inline constexpr int kMaxTemperatureWords = 68;
inline constexpr int kPt100Channels = 4;
inline constexpr int kDigitalChannels = 64;

struct TemperatureReply {
    static constexpr std::size_t kSize = 200;
    std::array<std::uint8_t, kSize> bytes{};

    // c: the data length of bytes 5-6 divided by two (an odd length rounds down).
    int wordCount() const { return ((bytes[5] << 8) | bytes[6]) / 2; }
    // Word i of the data; words 0-3 are the PT100 channels.
    TenthDegree word(int i) const {
        const std::size_t offset = 7 + 2 * static_cast<std::size_t>(i);
        return TenthDegree::FromBytes(bytes[offset], bytes[offset + 1]);
    }
};

}  // namespace tavolex
