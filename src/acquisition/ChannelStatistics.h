// Minimum, maximum and mean of every channel's readings since the statistics were last reset.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "Channels.h"

namespace tavolex {

struct ChannelSummary {
    int minTenths = 0;
    int maxTenths = 0;
    std::int64_t sumTenths = 0;
    std::int64_t count = 0;
    // In °C; none before the first reading.
    std::optional<double> meanCelsius() const {
        if (count == 0) return std::nullopt;
        return static_cast<double>(sumTenths) / static_cast<double>(count) / 10.0;
    }
};

class ChannelStatistics {
public:
    void add(int channel, int tenths);
    void reset() { m_channels.fill(ChannelSummary{}); }
    const ChannelSummary& of(int channel) const { return m_channels.at(channel); }

private:
    std::array<ChannelSummary, kChannelCount> m_channels{};
};

}  // namespace tavolex
