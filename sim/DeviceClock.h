// The instrument's real-time clock and its 7-byte packed-BCD time stamp (century, year,
// month, day, hour, minute, second). The clock keeps civil time without a time zone; it is
// represented as a sys_seconds value whose calendar fields are the fields shown.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

namespace tavolex::sim {

using TimestampBytes = std::array<std::uint8_t, 7>;
using CivilTime = std::chrono::sys_seconds;

TimestampBytes EncodeTimestamp(CivilTime time);

// None when a byte is not packed BCD or the fields are not a valid date and time.
std::optional<CivilTime> DecodeTimestamp(std::span<const std::uint8_t, 7> bytes);

// The host's local time of day for a wall-clock instant, as the civil time a freshly set
// instrument would show.
CivilTime LocalCivilTime(std::chrono::system_clock::time_point instant);

}  // namespace tavolex::sim
