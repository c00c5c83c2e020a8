// What the operator calls each channel and the temperatures it must stay between. Kept free of
// any toolkit; the window stores it in the user's configuration folder.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "Channels.h"

namespace tavolex {

// Either limit may be absent; a reading equal to a limit is still inside.
struct ChannelLimits {
    std::optional<int> lowTenths;
    std::optional<int> highTenths;
    bool operator==(const ChannelLimits&) const = default;
};

bool IsOutside(int tenths, const ChannelLimits& limits);

// A limit as the operator types it: empty for none, otherwise a temperature in °C with at most
// one decimal, within what a reading can carry; `valid` is false for text that is neither.
struct ParsedLimit {
    bool valid = false;
    std::optional<int> tenths;
    bool operator==(const ParsedLimit&) const = default;
};
ParsedLimit ParseLimit(std::string_view text);
// "35.5", "-3.0", or empty for none.
std::string LimitText(std::optional<int> tenths);

struct ChannelSetting {
    std::string name;
    ChannelLimits limits;
    bool operator==(const ChannelSetting&) const = default;
};

class ChannelSettings {
public:
    ChannelSetting& operator[](int channel) { return m_channels.at(channel); }
    const ChannelSetting& operator[](int channel) const { return m_channels.at(channel); }
    // "通道5 (炉膛)" for a named channel, the caption alone for one without a name.
    std::string label(int channel) const;
    bool operator==(const ChannelSettings&) const = default;

private:
    std::array<ChannelSetting, kChannelCount> m_channels{};
};

}  // namespace tavolex
