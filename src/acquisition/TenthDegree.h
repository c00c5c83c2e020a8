// One temperature as the instrument sends it: 16 bits big-endian, bit 15 the sign,
// bits 14..0 the magnitude in tenths of a degree Celsius.
#pragma once

#include <cstdint>
#include <string>

namespace tavolex {

class TenthDegree {
public:
    constexpr TenthDegree() = default;
    constexpr explicit TenthDegree(std::uint16_t raw) : m_raw(raw) {}
    constexpr static TenthDegree FromBytes(std::uint8_t high, std::uint8_t low) {
        return TenthDegree(static_cast<std::uint16_t>((high << 8) | low));
    }
    // The encoding of a value in tenths (clamped to the 15-bit magnitude).
    static TenthDegree FromTenths(int tenths);

    constexpr std::uint16_t raw() const { return m_raw; }
    constexpr std::uint8_t high() const { return static_cast<std::uint8_t>(m_raw >> 8); }
    constexpr std::uint8_t low() const { return static_cast<std::uint8_t>(m_raw & 0xFF); }
    constexpr bool negative() const { return (m_raw & 0x8000) != 0; }
    constexpr int magnitudeTenths() const { return m_raw & 0x7FFF; }
    constexpr int tenths() const { return negative() ? -magnitudeTenths() : magnitudeTenths(); }

    // One decimal place, "-" for a set sign bit (so 80 00 reads -0.0); independent of the
    // process locale.
    std::string text() const;

private:
    std::uint16_t m_raw = 0;
};

}  // namespace tavolex
