// The outputs of a logging run for sites with many instruments, as the client's options ask
// for them: the metrics endpoint and the MQTT publisher, either or both. Called on the
// acquisition thread; neither call waits on the network.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Clock.h"
#include "MetricsBoard.h"
#include "MetricsServer.h"
#include "MqttPublisher.h"
#include "TemperatureReply.h"

namespace tavolex {

class SiteOutputs {
public:
    // `port`: the port number or device of the run, in every series and message.
    explicit SiteOutputs(std::string port);
    ~SiteOutputs();

    // Stops serving and publishing (what is queued goes out first, while the broker takes
    // it); the count of MQTT messages that were dropped in the whole run.
    std::uint64_t close();

    // False with the reason when the endpoint cannot listen or the broker's address is unusable.
    bool serveMetrics(const MetricsAddress& address, Clock& clock, std::string& error);
    bool publishTo(const MqttAddress& address, std::string& error,
                   std::size_t capacity = MqttPublisher::kDefaultCapacity);
    // The port the endpoint listens on, once it does.
    std::optional<int> metricsPort() const;

    void reading(std::time_t wallTime, const std::tm& local, const TemperatureReply& reply);
    // The failure as the error log has it: its message and its entry.
    void failure(const std::tm& local, std::string_view reason, std::string_view logEntry);
    // A failed reading, for the counts (the error log's entry comes separately).
    void failedReading();

private:
    const std::string m_port;
    MetricsBoard m_board;
    std::unique_ptr<MqttPublisher> m_mqtt;
    std::unique_ptr<MetricsServer> m_server;
};

}  // namespace tavolex
