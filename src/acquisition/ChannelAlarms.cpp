#include "ChannelAlarms.h"

namespace tavolex {

AlarmStep ChannelAlarms::take(int channel, std::optional<int> tenths, const ChannelLimits& limits) {
    State& state = m_channels.at(channel);
    const bool outside = tenths && IsOutside(*tenths, limits);
    if (outside) ++state.count;
    AlarmStep step;
    if (outside && !state.inAlarm) {
        step.change = AlarmChange::Entered;
        step.notify = !state.notified;
        state.notified = true;
    } else if (!outside && state.inAlarm) {
        step.change = AlarmChange::Left;
    }
    state.inAlarm = outside;
    return step;
}

void ChannelAlarms::startRun() {
    m_channels.fill(State{});
}

}  // namespace tavolex
