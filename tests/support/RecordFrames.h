// Valid replies to the stored-record commands, for scripting the fake line.
#pragma once

#include <array>
#include <cstdint>

#include "Commands.h"
#include "Frame.h"

namespace tavolex::testing {

using Stamp = std::array<std::uint8_t, 7>;

// The reply to the count request.
inline Bytes RecordCountFrame(std::uint16_t count, std::uint8_t address = 0) {
    return ReplyFrame(
        address, command::kStoredRecords,
        Bytes{static_cast<std::uint8_t>(count >> 8), static_cast<std::uint8_t>(count & 0xFF)});
}

// A record with the time stamp, PT100 channel i reading `pt100First` + i words up and digital
// channel k reading `digitalFirst` + k - 1; each word is sent as it is, sign bit included.
inline Bytes RecordFrame(const Stamp& stamp, std::uint16_t pt100First, std::uint16_t digitalFirst,
                         std::uint8_t address = 0) {
    Bytes data(stamp.begin(), stamp.end());
    const auto word = [&data](int value) {
        data.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
        data.push_back(static_cast<std::uint8_t>(value & 0xFF));
    };
    for (int i = 0; i < 4; ++i)
        word(pt100First + i);
    for (int k = 0; k < 64; ++k)
        word(digitalFirst + k);
    return ReplyFrame(address, command::kStoredRecords, data);
}

// Record number n of a simple series: stamped 2024-05-07 09:n:00 (BCD), PT100 from 100 + n,
// channels from 200 + n.
inline Bytes SeriesRecord(int n) {
    const auto bcd = [](int v) { return static_cast<std::uint8_t>((v / 10) * 16 + v % 10); };
    return RecordFrame({0x20, 0x24, 0x05, 0x07, 0x09, bcd(n % 60), 0x00},
                       static_cast<std::uint16_t>(100 + n), static_cast<std::uint16_t>(200 + n));
}

}  // namespace tavolex::testing
