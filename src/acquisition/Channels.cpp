#include "Channels.h"

namespace tavolex {

std::string ChannelCaption(int channel) {
    const ListRow at = RowOfChannel(channel);
    return RowCaption(at.list, at.row);
}

int ChannelOfRow(ChannelList list, int row) {
    switch (list) {
        case ChannelList::Low:
            return kPt100Channels + row;
        case ChannelList::High:
            return kPt100Channels + kChannelListRows + row;
        case ChannelList::Pt100:
            break;
    }
    return row;
}

ListRow RowOfChannel(int channel) {
    if (channel < kPt100Channels) return {ChannelList::Pt100, channel};
    const int digital = channel - kPt100Channels;
    if (digital < kChannelListRows) return {ChannelList::Low, digital};
    return {ChannelList::High, digital - kChannelListRows};
}

std::optional<int> ChannelTenths(const TemperatureReply& reply, int channel) {
    if (channel >= reply.wordCount() || channel >= kChannelCount) return std::nullopt;
    return reply.word(channel).tenths();
}

}  // namespace tavolex
