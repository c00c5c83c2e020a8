#include "DeviceTimestamp.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace tavolex {

namespace {

std::uint8_t Bcd(int value) {
    return static_cast<std::uint8_t>((value / 10) * 16 + value % 10);
}

// The value of a byte whose two digits are decimal; none otherwise.
std::optional<int> BcdValue(std::uint8_t byte) {
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high > 9 || low > 9) return std::nullopt;
    return high * 10 + low;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

}  // namespace

LocalDateTime LocalDateTime::FromTm(const std::tm& local) {
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

TimeTexts LocalDateTime::texts() const {
    return {std::to_string(year), std::to_string(month),  std::to_string(day),
            std::to_string(hour), std::to_string(minute), std::to_string(second)};
}

DeviceTimestamp DeviceTimestamp::FromBytes(ByteView bytes) {
    Bytes7 stamp{};
    std::copy_n(bytes.begin(), kSize, stamp.begin());
    return DeviceTimestamp(stamp);
}

DeviceTimestamp DeviceTimestamp::Of(const LocalDateTime& time) {
    const auto century =
        static_cast<std::uint8_t>((time.year / 1000) * 16 + (time.year / 100) % 10);
    return DeviceTimestamp(Bytes7{century, Bcd(time.year % 100), Bcd(time.month), Bcd(time.day),
                                  Bcd(time.hour), Bcd(time.minute), Bcd(time.second)});
}

TimeTexts DeviceTimestamp::fieldTexts() const {
    return {Hex(BigEndian16(m_bytes, 0)),
            Hex(m_bytes[2]),
            Hex(m_bytes[3]),
            Hex(m_bytes[4]),
            Hex(m_bytes[5]),
            Hex(m_bytes[6])};
}

bool DeviceTimestamp::isRealDateTime() const {
    std::array<int, kSize> values{};
    for (std::size_t i = 0; i < kSize; ++i) {
        const std::optional<int> value = BcdValue(m_bytes[i]);
        if (!value) return false;
        values[i] = *value;
    }
    const auto [century, yearInCentury, month, day, hour, minute, second] = values;
    if (month < 1 || month > 12 || day < 1) return false;
    if (day > DaysInMonth(century * 100 + yearInCentury, month)) return false;
    return hour < 24 && minute < 60 && second < 60;
}

std::string DeviceTimestamp::dateTimeText() const {
    char text[24];
    std::snprintf(text, sizeof text, "%02X%02X-%02X-%02X %02X:%02X:%02X", m_bytes[0], m_bytes[1],
                  m_bytes[2], m_bytes[3], m_bytes[4], m_bytes[5], m_bytes[6]);
    return text;
}

}  // namespace tavolex
