#include "SiteOutputs.h"

#include "ReadingMessages.h"

namespace tavolex {

SiteOutputs::SiteOutputs(std::string port) : m_port(port), m_board(std::move(port)) {}

SiteOutputs::~SiteOutputs() {
    close();
}

std::uint64_t SiteOutputs::close() {
    // The server goes first: it reads the board, which asks the publisher for its drop count.
    m_server.reset();
    if (!m_mqtt) return 0;
    m_mqtt->stop();
    return m_mqtt->dropped();
}

bool SiteOutputs::serveMetrics(const MetricsAddress& address, Clock& clock, std::string& error) {
    m_server = MetricsServer::Start(address, m_board, clock, error);
    return m_server != nullptr;
}

bool SiteOutputs::publishTo(const MqttAddress& address, std::string& error, std::size_t capacity) {
    m_mqtt = MqttPublisher::Start(address, error, capacity);
    if (!m_mqtt) return false;
    m_board.setDroppedCount([mqtt = m_mqtt.get()] { return mqtt->dropped(); });
    return true;
}

std::optional<int> SiteOutputs::metricsPort() const {
    if (!m_server) return std::nullopt;
    return m_server->port();
}

void SiteOutputs::reading(std::time_t wallTime, const std::tm& local,
                          const TemperatureReply& reply) {
    m_board.success(wallTime, reply);
    if (m_mqtt) m_mqtt->publish("reading", ReadingJson(local, m_port, reply));
}

void SiteOutputs::failure(const std::tm& local, std::string_view reason,
                          std::string_view logEntry) {
    if (m_mqtt) m_mqtt->publish("failure", FailureJson(local, m_port, reason, logEntry));
}

void SiteOutputs::failedReading() {
    m_board.failure();
}

}  // namespace tavolex
