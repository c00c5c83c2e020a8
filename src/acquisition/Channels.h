// The 68 channels numbered as the words of a temperature reply: 0-3 are the PT100 channels 1-4,
// 4 + k is digital channel k + 1. Names, limits, history and the comma-separated file all use
// this numbering, so that a reply's word i is channel i.
#pragma once

#include <optional>
#include <string>

#include "ChannelLists.h"
#include "TemperatureReply.h"

namespace tavolex {

inline constexpr int kChannelCount = kMaxTemperatureWords;

// "PT100通道n" or "通道n", as the channel lists caption their rows.
std::string ChannelCaption(int channel);

// The channel a row of a channel list shows.
int ChannelOfRow(ChannelList list, int row);

struct ListRow {
    ChannelList list;
    int row;
};
// Where a channel stands in the channel lists.
ListRow RowOfChannel(int channel);

// The channel's value in the reply, none when the reply carries fewer words.
std::optional<int> ChannelTenths(const TemperatureReply& reply, int channel);

}  // namespace tavolex
