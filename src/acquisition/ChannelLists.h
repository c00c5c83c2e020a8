// What the three channel lists of the main window show: their columns, the caption of every
// row, and which temperature word goes into which row of the temperature column. Kept free of
// any toolkit so that the window only copies the texts into its list views.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "TemperatureReply.h"

namespace tavolex {

// Low: digital channels 1-32; High: digital channels 33-64; Pt100: PT100 channels 1-4.
enum class ChannelList { Low, High, Pt100 };

inline constexpr int kChannelListRows = 32;
inline constexpr int kCaptionColumn = 0;
inline constexpr int kTemperatureColumn = 1;
inline constexpr int kOffsetColumn = 2;
inline constexpr int kChannelListColumns = 3;

// A cell without a value shows a single blank, so that a list always has text in every row.
inline constexpr std::string_view kNoValueText = " ";

// The column titles of every list: "内容", "温度值", "偏移值".
std::array<std::string_view, kChannelListColumns> ChannelColumnTitles();
int RowCountOf(ChannelList list);
// The number a row's caption shows: the channel for the digital lists, 1 to 4 for PT100.
int RowNumber(ChannelList list, int row);
// "通道n" for the digital lists, "PT100通道n" for the PT100 list.
std::string RowCaption(ChannelList list, int row);

// The texts of the temperature column of all three lists for one reading. Every row gets a
// text, so that values of an earlier, longer reading never stay on screen.
struct TemperatureColumnTexts {
    std::array<std::string, kChannelListRows> low;
    std::array<std::string, kChannelListRows> high;
    std::array<std::string, kPt100Channels> pt100;
};

// The reply must hold a verified reading; a word count outside 4 to 68 is clamped to that
// range so that no word is taken from beyond the reply buffer.
TemperatureColumnTexts TemperatureColumnOf(const TemperatureReply& reply);

}  // namespace tavolex
