#include "TrendHistory.h"

#include <algorithm>
#include <limits>

namespace tavolex {

namespace {

// No reading encodes -32768 tenths (the sign bit and a 15-bit magnitude stop at -3276.7 °C).
constexpr std::int16_t kGap = std::numeric_limits<std::int16_t>::min();

void AddPoint(std::vector<TrendPoint>& points, TrendPoint point) {
    // One gap is enough to break the line.
    if (!point.tenths && !points.empty() && !points.back().tenths) return;
    points.push_back(point);
}

}  // namespace

TrendHistory::TrendHistory(std::size_t capacity) : m_capacity(std::max<std::size_t>(capacity, 1)) {}

void TrendHistory::addReading(std::int64_t timeMs, const TemperatureReply& reply) {
    append(timeMs, &reply);
}

void TrendHistory::addFailure(std::int64_t timeMs) {
    append(timeMs, nullptr);
}

void TrendHistory::clear() {
    m_times.clear();
    for (auto& values : m_values)
        values.clear();
    m_oldest = 0;
}

void TrendHistory::append(std::int64_t timeMs, const TemperatureReply* reply) {
    const auto valueOf = [reply](int channel) {
        const std::optional<int> tenths =
            reply != nullptr ? ChannelTenths(*reply, channel) : std::nullopt;
        return tenths ? static_cast<std::int16_t>(*tenths) : kGap;
    };
    if (m_times.size() < m_capacity) {
        m_times.push_back(timeMs);
        for (int channel = 0; channel < kChannelCount; ++channel)
            m_values[channel].push_back(valueOf(channel));
        return;
    }
    // Full: the newest takes the oldest's place.
    m_times[m_oldest] = timeMs;
    for (int channel = 0; channel < kChannelCount; ++channel)
        m_values[channel][m_oldest] = valueOf(channel);
    m_oldest = (m_oldest + 1) % m_times.size();
}

std::optional<int> TrendHistory::valueAt(int channel, std::size_t i) const {
    const std::int16_t value = m_values.at(channel)[slot(i)];
    if (value == kGap) return std::nullopt;
    return value;
}

std::optional<std::int64_t> TrendHistory::firstTime() const {
    if (m_times.empty()) return std::nullopt;
    return timeAt(0);
}

std::optional<std::int64_t> TrendHistory::lastTime() const {
    if (m_times.empty()) return std::nullopt;
    return timeAt(size() - 1);
}

std::size_t TrendHistory::firstAtOrAfter(std::int64_t timeMs) const {
    std::size_t low = 0;
    std::size_t high = size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (timeAt(middle) < timeMs) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

std::vector<TrendPoint> TrendHistory::points(int channel, std::int64_t fromMs,
                                             std::size_t buckets) const {
    const std::size_t first = firstAtOrAfter(fromMs);
    const std::size_t count = size() - first;
    std::vector<TrendPoint> points;
    buckets = std::max<std::size_t>(buckets, 1);
    if (count <= 2 * buckets) {
        points.reserve(count);
        for (std::size_t i = first; i < size(); ++i)
            AddPoint(points, {timeAt(i), valueAt(channel, i)});
        return points;
    }
    points.reserve(2 * buckets);
    const std::vector<std::int16_t>& values = m_values.at(channel);
    for (std::size_t bucket = 0; bucket < buckets; ++bucket) {
        const std::size_t begin = first + bucket * count / buckets;
        const std::size_t end = first + (bucket + 1) * count / buckets;
        // Slots of the bucket's samples, in time order; the scan is the costly part of a redraw.
        std::size_t lowest = end;
        std::size_t highest = end;
        std::int16_t lowValue = 0;
        std::int16_t highValue = 0;
        for (std::size_t i = begin, at = slot(begin); i < end; ++i) {
            const std::int16_t value = values[at];
            if (value != kGap) {
                if (lowest == end || value < lowValue) {
                    lowest = i;
                    lowValue = value;
                }
                if (highest == end || value > highValue) {
                    highest = i;
                    highValue = value;
                }
            }
            if (++at == values.size()) at = 0;
        }
        if (lowest == end) {
            AddPoint(points, {timeAt(begin), std::nullopt});
            continue;
        }
        const std::size_t earlier = std::min(lowest, highest);
        const std::size_t later = std::max(lowest, highest);
        AddPoint(points, {timeAt(earlier), valueAt(channel, earlier)});
        if (later != earlier) AddPoint(points, {timeAt(later), valueAt(channel, later)});
    }
    return points;
}

}  // namespace tavolex
