#include "PublishAddress.h"

#include <charconv>

namespace tavolex {

namespace {

constexpr int kMqttPort = 1883;
constexpr int kMqttTlsPort = 8883;

std::optional<int> PortNumber(std::string_view text, int least) {
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
    if (port < least || port > 65535) return {};
    return port;
}

struct HostAndPort {
    std::string_view host;
    std::optional<std::string_view> port;
};

// "host", "host:port", "[v6]" or "[v6]:port"; none when brackets do not close.
std::optional<HostAndPort> SplitHostPort(std::string_view text) {
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return {};
        const std::string_view rest = text.substr(close + 1);
        if (rest.empty()) return HostAndPort{text.substr(1, close - 1), {}};
        if (!rest.starts_with(':')) return {};
        return HostAndPort{text.substr(1, close - 1), rest.substr(1)};
    }
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) return HostAndPort{text, {}};
    // More than one colon without brackets is a bare IPv6 address, not a host and a port.
    if (text.find(':') != colon) return HostAndPort{text, {}};
    return HostAndPort{text.substr(0, colon), text.substr(colon + 1)};
}

bool ValidPrefix(std::string_view prefix) {
    if (prefix.empty() || prefix.starts_with('/') || prefix.ends_with('/')) return false;
    return prefix.find_first_of("+#") == std::string_view::npos &&
           prefix.find("//") == std::string_view::npos;
}

}  // namespace

std::optional<MetricsAddress> ParseMetricsAddress(std::string_view text) {
    MetricsAddress address;
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        const std::optional<int> port = PortNumber(text, 0);
        if (!port) return {};
        address.port = *port;
        return address;
    }
    const std::optional<HostAndPort> split = SplitHostPort(text);
    if (!split || !split->port || split->host.empty()) return {};
    const std::optional<int> port = PortNumber(*split->port, 0);
    if (!port) return {};
    address.host = split->host;
    address.port = *port;
    return address;
}

std::optional<MqttAddress> ParseMqttAddress(std::string_view text) {
    MqttAddress address;
    if (text.starts_with("mqtts://")) {
        address.tls = true;
        address.port = kMqttTlsPort;
        text.remove_prefix(8);
    } else if (text.starts_with("mqtt://")) {
        address.port = kMqttPort;
        text.remove_prefix(7);
    } else {
        return {};
    }
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return {};
    const std::optional<HostAndPort> split = SplitHostPort(text.substr(0, slash));
    if (!split || split->host.empty()) return {};
    if (split->port) {
        const std::optional<int> port = PortNumber(*split->port, 1);
        if (!port) return {};
        address.port = *port;
    }
    address.host = split->host;
    address.prefix = text.substr(slash + 1);
    if (!ValidPrefix(address.prefix)) return {};
    return address;
}

}  // namespace tavolex
