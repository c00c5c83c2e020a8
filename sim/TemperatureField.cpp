#include "TemperatureField.h"

#include <cmath>
#include <numbers>

#include "Mixing.h"

namespace tavolex::sim {

int TemperatureField::tenthsAt(std::uint64_t sensorKey,
                               std::chrono::system_clock::time_point instant) const {
    const std::uint64_t traits = Mix64(m_seed, sensorKey);
    const double baseTenths = 180.0 + static_cast<double>(traits % 121);
    const double amplitudeTenths = 5.0 + static_cast<double>((traits >> 8) % 21);
    const double periodSeconds = 600.0 + static_cast<double>((traits >> 16) % 3000);
    const double phase =
        static_cast<double>((traits >> 32) % 10000) / 10000.0 * 2 * std::numbers::pi;

    const auto sinceEpoch = instant.time_since_epoch();
    const double seconds = std::chrono::duration<double>(sinceEpoch).count();
    // Reduce the angle in whole periods first so that the sine keeps its precision.
    const double cycles = std::fmod(seconds / periodSeconds, 1.0);
    const double drift = amplitudeTenths * std::sin(cycles * 2 * std::numbers::pi + phase);

    const auto wholeSecond = std::chrono::floor<std::chrono::seconds>(sinceEpoch).count();
    const int noise =
        static_cast<int>(Mix64(traits, static_cast<std::uint64_t>(wholeSecond)) % 5) - 2;

    return static_cast<int>(std::lround(baseTenths + drift)) + noise;
}

}  // namespace tavolex::sim
