#include "ChannelStatistics.h"

#include <algorithm>

namespace tavolex {

void ChannelStatistics::add(int channel, int tenths) {
    ChannelSummary& summary = m_channels.at(channel);
    if (summary.count == 0) {
        summary.minTenths = tenths;
        summary.maxTenths = tenths;
    } else {
        summary.minTenths = std::min(summary.minTenths, tenths);
        summary.maxTenths = std::max(summary.maxTenths, tenths);
    }
    summary.sumTenths += tenths;
    ++summary.count;
}

}  // namespace tavolex
