// The instrument's date and time as it travels: seven packed-BCD bytes (century, year within
// the century, month, day, hour, minute, second), and the PC's local time that is sent as one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

#include "Frame.h"

namespace tavolex {

// The six texts of a date and time as the window shows them: year, month, day, hour, minute,
// second.
using TimeTexts = std::array<std::string, 6>;

// A date and time of the PC's local clock: the four-digit year, the month 1-12, the day, the
// hour 0-23, the minute and the second.
struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    static LocalDateTime FromTm(const std::tm& local);
    // Each part in decimal without leading zeros.
    TimeTexts texts() const;
};

class DeviceTimestamp {
public:
    static constexpr std::size_t kSize = 7;
    using Bytes7 = std::array<std::uint8_t, kSize>;

    DeviceTimestamp() = default;
    explicit DeviceTimestamp(const Bytes7& bytes) : m_bytes(bytes) {}
    // The first seven bytes of the view, which must hold them.
    static DeviceTimestamp FromBytes(ByteView bytes);
    // Every part as two BCD digits; the century byte holds the year's first two digits.
    static DeviceTimestamp Of(const LocalDateTime& time);

    const Bytes7& bytes() const { return m_bytes; }

    // Each field in upper-case hexadecimal without leading zeros, so that BCD digits read as
    // the decimal value and any other byte shows its hexadecimal digits. The year is the
    // 16-bit value of the century and year bytes: a century byte 0x00 leaves only the year
    // within the century.
    TimeTexts fieldTexts() const;
    // Every byte two decimal digits, and together a date of the calendar and a time of day:
    // month 1-12, a day that the month has, hour below 24, minute and second below 60.
    bool isRealDateTime() const;
    // "YYYY-MM-DD HH:MM:SS"; meaningful only for a real date and time.
    std::string dateTimeText() const;

    bool operator==(const DeviceTimestamp&) const = default;

private:
    Bytes7 m_bytes{};
};

}  // namespace tavolex
