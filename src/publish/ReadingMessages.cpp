#include "ReadingMessages.h"

#include <cstdio>
#include <cstdlib>

#include "Channels.h"
#include "JsonText.h"

namespace tavolex {

std::string SiteChannelLabel(int channel) {
    if (channel < kPt100Channels) return "pt100-" + std::to_string(channel + 1);
    return std::to_string(channel - kPt100Channels + 1);
}

std::vector<std::pair<std::string, std::string>> SiteChannelValues(const TemperatureReply& reply) {
    std::vector<std::pair<std::string, std::string>> values;
    for (int i = 0; i < kChannelCount; ++i) {
        const int channel = (i + kPt100Channels) % kChannelCount;
        if (ChannelTenths(reply, channel))
            values.emplace_back(SiteChannelLabel(channel), reply.word(channel).text());
    }
    return values;
}

std::string IsoTimeWithOffset(const std::tm& local) {
    const long offsetMinutes = local.tm_gmtoff / 60;
    const long magnitude = std::labs(offsetMinutes);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, offsetMinutes < 0 ? '-' : '+', magnitude / 60,
                  magnitude % 60);
    return text;
}

std::string ReadingJson(const std::tm& local, std::string_view port,
                        const TemperatureReply& reply) {
    std::string json = "{\"time\":" + JsonString(IsoTimeWithOffset(local)) +
                       ",\"port\":" + JsonString(port) + ",\"channels\":{";
    bool first = true;
    for (const auto& [label, value] : SiteChannelValues(reply)) {
        if (!first) json += ',';
        first = false;
        json += JsonString(label) + ':' + value;
    }
    return json + "}}";
}

std::string FailureJson(const std::tm& local, std::string_view port, std::string_view reason,
                        std::string_view logEntry) {
    // The entry starts with the log's line break, which says nothing on its own.
    while (logEntry.starts_with('\r') || logEntry.starts_with('\n'))
        logEntry.remove_prefix(1);
    return "{\"time\":" + JsonString(IsoTimeWithOffset(local)) + ",\"port\":" + JsonString(port) +
           ",\"reason\":" + JsonString(reason) + ",\"log\":" + JsonString(logEntry) + '}';
}

}  // namespace tavolex
