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
    const std::size_t end =
        toMs == std::numeric_limits<std::int64_t>::max() ? size() : firstAtOrAfter(toMs + 1);
    const std::size_t begin = std::min(firstAtOrAfter(fromMs), end);
    return extremes(channel, begin, end).summary();
}

void TrendHistory::Extremes::add(const Extremes& more) {
    if (more.count == 0) return;
    low = count == 0 ? more.low : std::min(low, more.low);
    high = count == 0 ? more.high : std::max(high, more.high);
    sum += more.sum;
    count += more.count;
}

ChannelSummary TrendHistory::Extremes::summary() const {
    ChannelSummary summary;
    if (count == 0) return summary;
    summary.minTenths = low;
    summary.maxTenths = high;
    summary.sumTenths = sum;
    summary.count = count;
    return summary;
}

template <class Part>
void TrendHistory::forEachPart(std::size_t begin, std::size_t end, Part part) const {
    if (begin >= end) return;
    const std::size_t at = slot(begin);
    const std::size_t first = std::min(end - begin, m_times.size() - at);
    part(at, first);
    if (end - begin > first) part(std::size_t{0}, end - begin - first);
}

TrendHistory::Extremes TrendHistory::extremes(int channel, std::size_t begin,
                                              std::size_t end) const {
    // Without a branch for each sample, so that the compiler can scan many at once: the scans
    // are most of what a redraw of a long span costs.
    Extremes found;
    const std::int16_t* values = m_values.at(channel).data();
    forEachPart(begin, end, [&](std::size_t at, std::size_t count) {
        std::int16_t low = std::numeric_limits<std::int16_t>::max();
        // A gap is the least value there is: it never wins the maximum.
        std::int16_t high = kGap;
        std::int64_t sum = 0;
        std::int64_t taken = 0;
        for (const std::int16_t* value = values + at; value != values + at + count; ++value) {
            const bool real = *value != kGap;
            low = std::min(low, real ? *value : std::numeric_limits<std::int16_t>::max());
            high = std::max(high, *value);
            sum += real ? *value : 0;
            taken += real ? 1 : 0;
        }
        if (taken > 0) found.add({low, high, sum, taken});
    });
    return found;
}

std::size_t TrendHistory::firstEqual(int channel, std::size_t begin, std::size_t end,
                                     int value) const {
    const std::int16_t* values = m_values.at(channel).data();
    std::size_t index = begin;
    bool seen = false;
    forEachPart(begin, end, [&](std::size_t at, std::size_t count) {
        if (seen) return;
        const std::int16_t* found = std::find(values + at, values + at + count, value);
        index += static_cast<std::size_t>(found - (values + at));
        seen = found != values + at + count;
    });
    return index;
}

std::vector<TrendPoint> TrendHistory::points(int channel, std::int64_t fromMs,
                                             std::size_t buckets) const {
    return points(channel, fromMs, std::numeric_limits<std::int64_t>::max(), buckets);
}

std::vector<TrendPoint> TrendHistory::points(int channel, std::int64_t fromMs, std::int64_t toMs,
                                             std::size_t buckets, ChannelSummary* summary) const {
    const std::size_t first = firstAtOrAfter(fromMs);
    const std::size_t last = toMs == std::numeric_limits<std::int64_t>::max()
                                 ? size()
                                 : std::max(first, firstAtOrAfter(toMs + 1));
    const std::size_t count = last - first;
    std::vector<TrendPoint> points;
    buckets = std::max<std::size_t>(buckets, 1);
    if (count <= 2 * buckets) {
        if (summary != nullptr) *summary = extremes(channel, first, last).summary();
        points.reserve(count);
        for (std::size_t i = first; i < last; ++i)
            AddPoint(points, {timeAt(i), valueAt(channel, i)});
        return points;
    }
    points.reserve(2 * buckets);
    Extremes all;
    for (std::size_t bucket = 0; bucket < buckets; ++bucket) {
        const std::size_t begin = first + bucket * count / buckets;
        const std::size_t end = first + (bucket + 1) * count / buckets;
        const Extremes found = extremes(channel, begin, end);
        all.add(found);
        if (found.count == 0) {
            AddPoint(points, {timeAt(begin), std::nullopt});
            continue;
        }
        const std::size_t lowest = firstEqual(channel, begin, end, found.low);
        const std::size_t highest = firstEqual(channel, begin, end, found.high);
        const std::size_t earlier = std::min(lowest, highest);
        const std::size_t later = std::max(lowest, highest);
        AddPoint(points, {timeAt(earlier), valueAt(channel, earlier)});
        if (later != earlier) AddPoint(points, {timeAt(later), valueAt(channel, later)});
    }
    if (summary != nullptr) *summary = all.summary();
    return points;
}

}  // namespace tavolex
