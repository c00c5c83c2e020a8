// What addresses the instrument, and the three fixed port profiles.
#pragma once

#include <cstdint>

namespace tavolex {

struct LinkSettings {
    std::int32_t portNumber = 1;
    std::int32_t baudRate = 9600;
    std::int32_t deviceAddress = 0;

    // Only the low eight bits of the address travel in a frame.
    std::uint8_t addressByte() const { return static_cast<std::uint8_t>(deviceAddress & 0xFF); }
};

enum class PortProfile { Command, Acquisition, Records };

// Serial time-outs in milliseconds. A read of n bytes ends at the latest after
// readTotalMultiplierMs * n + readTotalConstantMs; with a read interval, it also ends when
// that long passes between two bytes.
struct PortTimeouts {
    std::uint32_t readIntervalMs;
    std::uint32_t readTotalMultiplierMs;
    std::uint32_t readTotalConstantMs;
    std::uint32_t writeTotalMultiplierMs;
    std::uint32_t writeTotalConstantMs;
};

constexpr PortTimeouts TimeoutsOf(PortProfile profile) {
    switch (profile) {
        case PortProfile::Acquisition:
            return {0, 5, 300, 100, 500};
        case PortProfile::Records:
            return {100, 5, 5, 50, 100};
        case PortProfile::Command:
            break;
    }
    return {0, 5, 1000, 100, 500};
}

}  // namespace tavolex
