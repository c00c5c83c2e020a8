#include "MetricsServer.h"

#include <httplib.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace tavolex {

namespace {

constexpr const char* kExpositionType = "text/plain; version=0.0.4; charset=utf-8";
// A scraper that stops reading or writing is let go after this long, and a kept-alive
// connection after a second idle, so that the end of a run never waits on one.
constexpr time_t kSocketTimeoutSeconds = 5;
constexpr time_t kKeepAliveSeconds = 1;
constexpr int kStartChecks = 2000;

}  // namespace

std::unique_ptr<MetricsServer> MetricsServer::Start(const MetricsAddress& address,
                                                    const MetricsBoard& board, Clock& clock,
                                                    std::string& error) {
    std::unique_ptr<MetricsServer> server(new MetricsServer);
    server->m_server = std::make_unique<httplib::Server>();
    httplib::Server& http = *server->m_server;
    http.set_read_timeout(kSocketTimeoutSeconds, 0);
    http.set_write_timeout(kSocketTimeoutSeconds, 0);
    http.set_keep_alive_timeout(kKeepAliveSeconds);
    // The library's default shares the port with any other server that asks (SO_REUSEPORT),
    // which would let two clients on one port answer each other's scrapes in turn. Reusing
    // the address only lets a service that restarts take its port back at once.
    http.set_socket_options([](int socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    http.Get("/metrics", [&board](const httplib::Request&, httplib::Response& response) {
        response.set_content(board.render(), kExpositionType);
    });
    errno = 0;
    server->m_port = address.port == 0
                         ? http.bind_to_any_port(address.host)
                         : (http.bind_to_port(address.host, address.port) ? address.port : -1);
    if (server->m_port <= 0) {
        error = errno != 0 ? std::strerror(errno) : "cannot listen there";
        return nullptr;
    }
    server->m_thread = std::thread([&http] { http.listen_after_bind(); });
    // The library's stop() does nothing before its loop has marked itself running, so the
    // server is handed out only once that has happened.
    for (int i = 0; i < kStartChecks && !http.is_running(); ++i)
        clock.sleepFor(std::chrono::milliseconds(1));
    return server;
}

MetricsServer::~MetricsServer() {
    m_server->stop();
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace tavolex
