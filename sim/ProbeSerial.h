// Serial numbers of the digital probes: 1-Wire ROM codes with family byte 0x28, six serial
// bytes and the 1-Wire CRC-8 of the first seven bytes.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace tavolex::sim {

using ProbeSerial = std::array<std::uint8_t, 8>;

inline constexpr std::uint8_t kProbeFamilyCode = 0x28;

// CRC-8 of 1-Wire ROM codes (polynomial x^8 + x^5 + x^4 + 1, bits taken LSB first).
std::uint8_t RomCrc8(std::span<const std::uint8_t> bytes);

// The index-th probe of a probe port, the same for the same seed.
ProbeSerial MakeProbeSerial(std::uint64_t seed, int port, int index);

// True when the serial number is one the instrument accepts for registration.
bool IsRegistrableSerial(const ProbeSerial& serial);

// "28-1A-..." for messages and test output.
std::string SerialText(const ProbeSerial& serial);

}  // namespace tavolex::sim
