#include "ChannelLists.h"
#include "Translate.h"

#include <algorithm>

namespace tavolex {

namespace {

// Digital channel n is word 3 + n.
constexpr int kFirstDigitalWord = kPt100Channels;

}  // namespace

std::array<std::string_view, kChannelListColumns> ChannelColumnTitles() {
    return {TAVOLEX_TRANSLATABLE("ChannelLists", "内容"),
            TAVOLEX_TRANSLATABLE("ChannelLists", "温度值"),
            TAVOLEX_TRANSLATABLE("ChannelLists", "偏移值")};
}

int RowCountOf(ChannelList list) {
    return list == ChannelList::Pt100 ? kPt100Channels : kChannelListRows;
}

int RowNumber(ChannelList list, int row) {
    return list == ChannelList::High ? kChannelListRows + row + 1 : row + 1;
}

std::string RowCaption(ChannelList list, int row) {
    const std::string number = std::to_string(RowNumber(list, row));
    return list == ChannelList::Pt100 ? "PT100通道" + number : "通道" + number;
}

TemperatureColumnTexts TemperatureColumnOf(const TemperatureReply& reply) {
    const int words = std::clamp(reply.wordCount(), kMinTemperatureWords, kMaxTemperatureWords);
    const int digital = words - kFirstDigitalWord;

    TemperatureColumnTexts texts;
    for (int i = 0; i < kPt100Channels; ++i)
        texts.pt100[i] = reply.word(i).text();
    for (int row = 0; row < kChannelListRows; ++row) {
        texts.low[row] =
            row < digital ? reply.word(kFirstDigitalWord + row).text() : std::string(kNoValueText);
        const int channel = kChannelListRows + row;
        texts.high[row] = channel < digital ? reply.word(kFirstDigitalWord + channel).text()
                                            : std::string(kNoValueText);
    }
    return texts;
}

}  // namespace tavolex
