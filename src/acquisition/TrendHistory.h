// The readings of the latest hours for the trend chart: one sample per reading and channel,
// in a bounded ring (the oldest go first), with a gap where a reading failed or a reply did
// not carry the channel. What the chart draws is a decimated view of a time span that keeps
// every bucket's minimum and maximum, so a short peak never disappears from the screen.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "ChannelStatistics.h"
#include "Channels.h"
#include "TemperatureReply.h"

namespace tavolex {

// A day of readings at the shortest acquisition period (600 ms).
inline constexpr std::size_t kTrendCapacity = 144'000;

// The stored value of a channel without a reading. No reading encodes -32768 tenths (the sign
// bit and a 15-bit magnitude stop at -3276.7 °C).
inline constexpr std::int16_t kGapTenths = -32768;
using TrendSample = std::array<std::int16_t, kChannelCount>;

struct TrendPoint {
    std::int64_t timeMs = 0;    // wall-clock milliseconds since the epoch
    std::optional<int> tenths;  // none: a gap
    bool operator==(const TrendPoint&) const = default;
};

class TrendHistory {
public:
    explicit TrendHistory(std::size_t capacity = kTrendCapacity);

    // A verified reading: every channel the reply carries gets its value, the rest a gap.
    void addReading(std::int64_t timeMs, const TemperatureReply& reply);
    // A failed reading: a gap on every channel.
    void addFailure(std::int64_t timeMs);
    // A sample as stored: tenths per channel, kGapTenths for none.
    void addSample(std::int64_t timeMs, const TrendSample& tenths);
    void reserve(std::size_t samples);
    void clear();

    std::size_t size() const { return m_times.size(); }
    std::size_t capacity() const { return m_capacity; }
    // Sample i, oldest first.
    std::int64_t timeAt(std::size_t i) const { return m_times[slot(i)]; }
    std::optional<int> valueAt(int channel, std::size_t i) const;
    std::optional<std::int64_t> firstTime() const;
    std::optional<std::int64_t> lastTime() const;

    // The channel's samples from `fromMs` on, as at most about 2 * `buckets` points: all of
    // them when they are few enough, otherwise per bucket of consecutive samples its minimum
    // and maximum in time order, or a gap when the bucket holds no value at all. Consecutive
    // gaps come out as one.
    std::vector<TrendPoint> points(int channel, std::int64_t fromMs, std::size_t buckets) const;
    // The same for the samples from `fromMs` up to and including `toMs`; with `summary`, also
    // their statistics, from the same scan.
    std::vector<TrendPoint> points(int channel, std::int64_t fromMs, std::int64_t toMs,
                                   std::size_t buckets, ChannelSummary* summary = nullptr) const;
    // Minimum, maximum, sum and count of the channel's values from `fromMs` to `toMs`.
    ChannelSummary summary(int channel, std::int64_t fromMs, std::int64_t toMs) const;
    // The sample whose time is closest to the time; none when there is no sample.
    std::optional<std::size_t> nearest(std::int64_t timeMs) const;

private:
    void append(std::int64_t timeMs, const TemperatureReply* reply);
    std::size_t slot(std::size_t i) const { return (m_oldest + i) % m_times.size(); }
    // Index of the first sample at or after the time (times are taken as ascending).
    std::size_t firstAtOrAfter(std::int64_t timeMs) const;
    struct Extremes {
        int low = 0;
        int high = 0;
        std::int64_t sum = 0;
        std::int64_t count = 0;
        void add(const Extremes& more);
        ChannelSummary summary() const;
    };
    // Of the channel's values of samples [begin, end), gaps left out.
    Extremes extremes(int channel, std::size_t begin, std::size_t end) const;
    // The first of the samples [begin, end) whose value is `value`; `end` when none is.
    std::size_t firstEqual(int channel, std::size_t begin, std::size_t end, int value) const;
    // Calls part(slot, count) for the stretches of slots that hold samples [begin, end), in
    // time order: one, or two where the ring wraps.
    template <class Part>
    void forEachPart(std::size_t begin, std::size_t end, Part part) const;

    std::size_t m_capacity;
    std::size_t m_oldest = 0;
    std::vector<std::int64_t> m_times;
    std::array<std::vector<std::int16_t>, kChannelCount> m_values;
};

}  // namespace tavolex
