// What the instrument's sensors measure: each sensor sits at its own temperature between
// 18 and 30 °C, drifting slowly along a sine of its own period and phase, with a little
// noise that changes once a second. Every value is a pure function of the seed, the sensor
// and the instant, so repeated runs and repeated questions give the same readings.
#pragma once

#include <chrono>
#include <cstdint>

namespace tavolex::sim {

class TemperatureField {
public:
    explicit TemperatureField(std::uint64_t seed) : m_seed(seed) {}

    // Tenths of a degree Celsius measured by the sensor at the instant.
    int tenthsAt(std::uint64_t sensorKey, std::chrono::system_clock::time_point instant) const;

private:
    std::uint64_t m_seed;
};

}  // namespace tavolex::sim
