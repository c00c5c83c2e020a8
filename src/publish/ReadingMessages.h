// The texts the client publishes for a reading: the channel labels that metrics and messages
// share, the time stamp, and the JSON of a good reading and of a failure.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "TemperatureReply.h"

namespace tavolex {

// "1" to "64" for the digital channels as the window numbers them, "pt100-1" to "pt100-4"
// for the PT100 channels; `channel` is numbered as the words of a reply (Channels.h).
std::string SiteChannelLabel(int channel);

// The label and value text of every channel the reply carries: the digital channels first, in
// the order the window lists them, then the PT100 channels.
std::vector<std::pair<std::string, std::string>> SiteChannelValues(const TemperatureReply& reply);

// ISO 8601 local time with its offset from UTC: "2026-12-07T21:46:20+01:00".
std::string IsoTimeWithOffset(const std::tm& local);

// {"time": …, "port": …, "channels": {"1": 25.1, …, "pt100-1": …}} with the channels the reply
// carries.
std::string ReadingJson(const std::tm& local, std::string_view port, const TemperatureReply& reply);

// {"time": …, "port": …, "reason": the message, "log": the error log's entry}.
std::string FailureJson(const std::tm& local, std::string_view port, std::string_view reason,
                        std::string_view logEntry);

}  // namespace tavolex
