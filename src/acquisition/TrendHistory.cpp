#include "TrendHistory.h"

#include <algorithm>
#include <limits>

namespace tavolex {

namespace {

constexpr std::int16_t kGap = kGapTenths;

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

void TrendHistory::addSample(std::int64_t timeMs, const TrendSample& tenths) {
    if (m_times.size() < m_capacity) {
        m_times.push_back(timeMs);
        for (int channel = 0; channel < kChannelCount; ++channel)
            m_values[channel].push_back(tenths[channel]);
        return;
    }
    m_times[m_oldest] = timeMs;
    for (int channel = 0; channel < kChannelCount; ++channel)
        m_values[channel][m_oldest] = tenths[channel];
    m_oldest = (m_oldest + 1) % m_times.size();
}

void TrendHistory::reserve(std::size_t samples) {
    samples = std::min(samples, m_capacity);
    m_times.reserve(samples);
    for (auto& values : m_values)
        values.reserve(samples);
}

void TrendHistory::clear() {
    m_times.clear();
    for (auto& values : m_values)
        values.clear();
    m_oldest = 0;
}

void TrendHistory::append(std::int64_t timeMs, const TemperatureReply* reply) {
    TrendSample sample;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const std::optional<int> tenths =
            reply != nullptr ? ChannelTenths(*reply, channel) : std::nullopt;
        sample[channel] = tenths ? static_cast<std::int16_t>(*tenths) : kGap;
    }
    addSample(timeMs, sample);
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

std::optional<std::size_t> TrendHistory::nearest(std::int64_t timeMs) const {
    if (m_times.empty()) return std::nullopt;
    const std::size_t after = firstAtOrAfter(timeMs);
    if (after == size()) return after - 1;
    if (after == 0 || timeAt(after) - timeMs < timeMs - timeAt(after - 1)) return after;
    return after - 1;
}

ChannelSummary TrendHistory::summary(int channel, std::int64_t fromMs, std::int64_t toMs) const {
    ChannelSummary summary;
    const std::vector<std::int16_t>& values = m_values.at(channel);
    const std::size_t end =
        toMs == std::numeric_limits<std::int64_t>::max() ? size() : firstAtOrAfter(toMs + 1);
    for (std::size_t i = firstAtOrAfter(fromMs); i < end; ++i) {
        const std::int16_t value = values[slot(i)];
        if (value == kGap) continue;
        if (summary.count == 0 || value < summary.minTenths) summary.minTenths = value;
        if (summary.count == 0 || value > summary.maxTenths) summary.maxTenths = value;
        summary.sumTenths += value;
        ++summary.count;
    }
    return summary;
}

std::vector<TrendPoint> TrendHistory::points(int channel, std::int64_t fromMs,
                                             std::size_t buckets) const {
    return points(channel, fromMs, std::numeric_limits<std::int64_t>::max(), buckets);
}

std::vector<TrendPoint> TrendHistory::points(int channel, std::int64_t fromMs, std::int64_t toMs,
                                             std::size_t buckets) const {
    const std::size_t first = firstAtOrAfter(fromMs);
    const std::size_t last = toMs == std::numeric_limits<std::int64_t>::max()
                                 ? size()
                                 : std::max(first, firstAtOrAfter(toMs + 1));
    const std::size_t count = last - first;
    std::vector<TrendPoint> points;
    buckets = std::max<std::size_t>(buckets, 1);
    if (count <= 2 * buckets) {
        points.reserve(count);
        for (std::size_t i = first; i < last; ++i)
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
