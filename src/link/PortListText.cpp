#include "PortDiscovery.h"

#include <algorithm>
#include <array>
#include <regex>

#include "Translate.h"

namespace tavolex {

namespace {

// Columns on a terminal: Chinese characters take two.
std::size_t DisplayWidth(std::string_view text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        width += length >= 3 ? 2 : 1;
        i += length;
    }
    return width;
}

std::string Padded(const std::string& text, std::size_t width) {
    return text + std::string(width - std::min(width, DisplayWidth(text)), ' ');
}

}  // namespace

std::string_view PortStateText(PortState state) {
    switch (state) {
        case PortState::Available:
            return TAVOLEX_TRANSLATABLE("PortDiscovery", "可用");
        case PortState::Busy:
            return TAVOLEX_TRANSLATABLE("PortDiscovery", "被占用");
        case PortState::NoPermission:
            return TAVOLEX_TRANSLATABLE("PortDiscovery", "无权限");
        case PortState::Missing:
            break;
    }
    return TAVOLEX_TRANSLATABLE("PortDiscovery", "不存在");
}

std::string ByIdDescription(std::string_view name) {
    std::string text(name);
    if (text.starts_with("usb-")) text.erase(0, 4);
    static const std::regex interfaceSuffix("-if[0-9A-Fa-f]+(-port[0-9]+)?$");
    text = std::regex_replace(text, interfaceSuffix, "");
    std::replace(text.begin(), text.end(), '_', ' ');
    static const std::regex blanks(" +");
    text = std::regex_replace(text, blanks, " ");
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::string PortListText(const std::vector<PortEntry>& entries) {
    if (entries.empty()) return Translate("PortDiscovery", "没有找到串口。") + "\n";
    std::vector<std::array<std::string, 4>> rows = {
        {Translate("PortDiscovery", "串口号"), Translate("PortDiscovery", "设备"),
         Translate("PortDiscovery", "说明"), Translate("PortDiscovery", "状态")}};
    for (const PortEntry& entry : entries) {
        rows.push_back({entry.portNumber ? std::to_string(*entry.portNumber) : "-",
                        entry.device.string(), entry.description,
                        Translate("PortDiscovery", PortStateText(entry.state).data())});
    }
    std::array<std::size_t, 3> widths{};
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < widths.size(); ++column)
            widths[column] = std::max(widths[column], DisplayWidth(row[column]));
    }
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < widths.size(); ++column)
            text += Padded(row[column], widths[column]) + "  ";
        text += row[3] + "\n";
    }
    return text;
}

}  // namespace tavolex
