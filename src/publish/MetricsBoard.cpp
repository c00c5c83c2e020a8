#include "MetricsBoard.h"

#include "ReadingMessages.h"

namespace tavolex {

namespace {

// A label value: backslash, double quote and line feed escaped.
std::string LabelValue(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

void Family(std::string& out, std::string_view name, std::string_view type, std::string_view help) {
    out.append("# HELP ").append(name).append(" ").append(help).append("\n");
    out.append("# TYPE ").append(name).append(" ").append(type).append("\n");
}

}  // namespace

MetricsBoard::MetricsBoard(std::string port) : m_portLabel("port=\"" + LabelValue(port) + "\"") {}

void MetricsBoard::success(std::time_t wallTime, const TemperatureReply& reply) {
    std::vector<std::pair<std::string, std::string>> values = SiteChannelValues(reply);
    const std::lock_guard lock(m_mutex);
    m_temperatures = std::move(values);
    ++m_successes;
    m_lastSuccess = wallTime;
    m_up = true;
}

void MetricsBoard::failure() {
    const std::lock_guard lock(m_mutex);
    ++m_failures;
    m_up = false;
}

void MetricsBoard::setDroppedCount(std::function<std::uint64_t()> dropped) {
    const std::lock_guard lock(m_mutex);
    m_dropped = std::move(dropped);
}

std::string MetricsBoard::render() const {
    const std::lock_guard lock(m_mutex);
    std::string out;
    Family(out, "tavolex_temperature_celsius", "gauge",
           "Latest good temperature of each channel the last good reading carried.");
    for (const auto& [channel, value] : m_temperatures) {
        out += "tavolex_temperature_celsius{channel=\"" + channel + "\"," + m_portLabel + "} " +
               value + "\n";
    }
    Family(out, "tavolex_readings_total", "counter", "Readings since the run started, by result.");
    out += "tavolex_readings_total{" + m_portLabel + ",result=\"success\"} " +
           std::to_string(m_successes) + "\n";
    out += "tavolex_readings_total{" + m_portLabel + ",result=\"failure\"} " +
           std::to_string(m_failures) + "\n";
    if (m_successes > 0) {
        Family(out, "tavolex_last_success_timestamp_seconds", "gauge",
               "Unix time of the last good reading.");
        out += "tavolex_last_success_timestamp_seconds{" + m_portLabel + "} " +
               std::to_string(m_lastSuccess) + "\n";
    }
    Family(out, "tavolex_up", "gauge", "1 while the last reading succeeded, 0 otherwise.");
    out += "tavolex_up{" + m_portLabel + "} " + (m_up ? "1" : "0") + "\n";
    if (m_dropped) {
        Family(out, "tavolex_mqtt_dropped_total", "counter",
               "MQTT messages dropped because the broker could not take them in time.");
        out +=
            "tavolex_mqtt_dropped_total{" + m_portLabel + "} " + std::to_string(m_dropped()) + "\n";
    }
    return out;
}

}  // namespace tavolex
