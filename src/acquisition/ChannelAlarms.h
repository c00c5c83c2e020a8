// Which channels are outside their limits. A channel enters an alarm with a reading outside,
// stays in it while readings stay outside, and leaves it with a reading inside (or a reply that
// no longer carries it). Every reading outside counts; the first entry of each channel in a run
// asks for one notification, however often the channel enters again in that run.
#pragma once

#include <array>
#include <optional>

#include "ChannelSettings.h"

namespace tavolex {

enum class AlarmChange { None, Entered, Left };

struct AlarmStep {
    AlarmChange change = AlarmChange::None;
    bool notify = false;
};

class ChannelAlarms {
public:
    // One reading of the channel: its value, or none when the reply did not carry it.
    AlarmStep take(int channel, std::optional<int> tenths, const ChannelLimits& limits);
    // A new run: no channel in alarm, counts at zero, every channel may notify once again.
    void startRun();

    bool inAlarm(int channel) const { return m_channels.at(channel).inAlarm; }
    int count(int channel) const { return m_channels.at(channel).count; }

private:
    struct State {
        bool inAlarm = false;
        bool notified = false;
        int count = 0;
    };
    std::array<State, kChannelCount> m_channels{};
};

}  // namespace tavolex
