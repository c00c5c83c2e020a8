#include "ProbeSerial.h"

#include <cstdio>

#include "Mixing.h"

namespace tavolex::sim {

std::uint8_t RomCrc8(std::span<const std::uint8_t> bytes) {
    std::uint8_t crc = 0;
    for (std::uint8_t byte : bytes) {
        for (int bit = 0; bit < 8; ++bit) {
            const bool mix = ((crc ^ byte) & 0x01) != 0;
            crc = static_cast<std::uint8_t>(crc >> 1);
            if (mix) crc ^= 0x8C;
            byte = static_cast<std::uint8_t>(byte >> 1);
        }
    }
    return crc;
}

ProbeSerial MakeProbeSerial(std::uint64_t seed, int port, int index) {
    const std::uint64_t bits =
        Mix64(Mix64(seed, static_cast<std::uint64_t>(port)), static_cast<std::uint64_t>(index));
    ProbeSerial serial{};
    serial[0] = kProbeFamilyCode;
    for (int i = 1; i <= 6; ++i)
        serial[i] = static_cast<std::uint8_t>(bits >> (8 * (i - 1)));
    serial[7] = RomCrc8(std::span(serial).first(7));
    return serial;
}

bool IsRegistrableSerial(const ProbeSerial& serial) {
    // The family byte also rules out the all-0x00 and all-0xFF marker values.
    return serial[0] == kProbeFamilyCode;
}

std::string SerialText(const ProbeSerial& serial) {
    std::string text;
    for (std::size_t i = 0; i < serial.size(); ++i) {
        char part[4];
        std::snprintf(part, sizeof part, i == 0 ? "%02X" : "-%02X", serial[i]);
        text += part;
    }
    return text;
}

}  // namespace tavolex::sim
