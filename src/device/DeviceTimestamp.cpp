#include "DeviceTimestamp.h"

#include <algorithm>
#include <cstdio>

namespace tavolex {

namespace {

std::uint8_t Bcd(int value) {
    return static_cast<std::uint8_t>((value / 10) * 16 + value % 10);
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

bool DeviceTimestamp::isValidBcd() const {
    return std::all_of(m_bytes.begin(), m_bytes.end(),
                       [](std::uint8_t b) { return (b >> 4) <= 9 && (b & 0x0F) <= 9; });
}

std::string DeviceTimestamp::dateTimeText() const {
    char text[24];
    std::snprintf(text, sizeof text, "%02X%02X-%02X-%02X %02X:%02X:%02X", m_bytes[0], m_bytes[1],
                  m_bytes[2], m_bytes[3], m_bytes[4], m_bytes[5], m_bytes[6]);
    return text;
}

}  // namespace tavolex
