// The addresses the logging client publishes to, as its options give them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavolex {

// Where the metrics endpoint listens: "[HOST:]PORT", the host 127.0.0.1 unless given (an IPv6
// host in brackets, "[::1]:9100"). Port 0 takes any free port.
struct MetricsAddress {
    std::string host = "127.0.0.1";
    int port = 0;
};
std::optional<MetricsAddress> ParseMetricsAddress(std::string_view text);

// The broker and the topic prefix: "mqtt://HOST[:PORT]/PREFIX" (port 1883) or "mqtts://…"
// (port 8883, TLS checked against the system's certificate authorities). The prefix is one or
// more topic levels without wildcards.
struct MqttAddress {
    bool tls = false;
    std::string host;
    int port = 1883;
    std::string prefix;
};
std::optional<MqttAddress> ParseMqttAddress(std::string_view text);

}  // namespace tavolex
