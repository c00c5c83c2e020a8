// The HTTP endpoint Prometheus scrapes: GET /metrics answers with the board's text, served by
// the HTTP library's own threads for as long as the object lives.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include "Clock.h"
#include "MetricsBoard.h"
#include "PublishAddress.h"

namespace httplib {
class Server;
}

namespace tavolex {

class MetricsServer {
public:
    // Listening on the address, or none with the reason in `error`. `clock` paces the short
    // wait for the server's loop to start.
    static std::unique_ptr<MetricsServer> Start(const MetricsAddress& address,
                                                const MetricsBoard& board, Clock& clock,
                                                std::string& error);
    ~MetricsServer();
    MetricsServer(const MetricsServer&) = delete;
    MetricsServer& operator=(const MetricsServer&) = delete;

    // The port it listens on (the one the system chose for port 0).
    int port() const { return m_port; }

private:
    MetricsServer() = default;

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
};

}  // namespace tavolex
