#include "ChannelSettings.h"

#include <charconv>
#include <cmath>

#include "TenthDegree.h"

namespace tavolex {

namespace {

constexpr int kLargestTenths = 0x7FFF;

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

}  // namespace

bool IsOutside(int tenths, const ChannelLimits& limits) {
    return (limits.lowTenths && tenths < *limits.lowTenths) ||
           (limits.highTenths && tenths > *limits.highTenths);
}

ParsedLimit ParseLimit(std::string_view text) {
    text = Trimmed(text);
    if (text.empty()) return {true, std::nullopt};
    if (text.front() == '+') text.remove_prefix(1);
    const auto point = text.find('.');
    if (point != std::string_view::npos && text.size() - point - 1 > 1) return {};
    double celsius = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), celsius, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size()) return {};
    const long tenths = std::lround(celsius * 10);
    if (tenths < -kLargestTenths || tenths > kLargestTenths) return {};
    return {true, static_cast<int>(tenths)};
}

std::string LimitText(std::optional<int> tenths) {
    if (!tenths) return {};
    return TenthDegree::FromTenths(*tenths).text();
}

std::string ChannelSettings::label(int channel) const {
    const std::string& name = m_channels.at(channel).name;
    std::string caption = ChannelCaption(channel);
    if (name.empty()) return caption;
    return caption + " (" + name + ")";
}

}  // namespace tavolex
