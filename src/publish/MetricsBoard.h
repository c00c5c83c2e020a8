// The run's figures as Prometheus scrapes them: the latest good temperatures, the reading
// counts, the time of the last success, whether the last reading succeeded, and what the MQTT
// output had to drop. Written by the acquisition thread, read by the HTTP server's threads.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "TemperatureReply.h"

namespace tavolex {

class MetricsBoard {
public:
    // `port`: the port number or device the run reads, a label on every series.
    explicit MetricsBoard(std::string port);

    void success(std::time_t wallTime, const TemperatureReply& reply);
    void failure();
    // Where the count of dropped MQTT messages comes from, when that output is on.
    void setDroppedCount(std::function<std::uint64_t()> dropped);

    // The text exposition format, version 0.0.4.
    std::string render() const;

private:
    const std::string m_portLabel;  // `port="…"`, escaped once
    mutable std::mutex m_mutex;
    // Channel label and value text of every channel the last good reply carried.
    std::vector<std::pair<std::string, std::string>> m_temperatures;
    std::uint64_t m_successes = 0;
    std::uint64_t m_failures = 0;
    std::time_t m_lastSuccess = 0;
    bool m_up = false;
    std::function<std::uint64_t()> m_dropped;
};

}  // namespace tavolex
