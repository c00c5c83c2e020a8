// Real servers for the publishing tests, from the system's packages: a Mosquitto broker and a
// Prometheus server, each on a free loopback port in a folder of its own, stopped at the end;
// and a subscriber that writes every message it gets as "topic payload" lines.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <httplib.h>

#include <fstream>
#include <optional>

#include "ChildProcess.h"

namespace tavolex::testing {

// A port nobody listens on now (the system's choice for a socket bound to port 0).
inline int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

// Polls `done` every 20 ms until it holds or the time is up.
template <class Condition>
bool Eventually(Condition done, std::chrono::milliseconds timeout = std::chrono::seconds(15)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// A server program in its own folder, ended with SIGTERM.
class ServerProcess {
public:
    ServerProcess(const std::string& name, const std::string& program,
                  std::function<std::vector<std::string>(const std::filesystem::path&)> arguments)
        : m_folder(name + "-" + CurrentTestName()), m_program(program), m_arguments(arguments) {}
    ~ServerProcess() { stop(); }

    void start() {
        m_process.emplace(m_program, m_arguments(m_folder.path()), m_folder.path(),
                          std::vector<std::string>{});
    }
    ChildResult stop() {
        if (!m_process) return {};
        m_process->signal(SIGTERM);
        ChildResult result = m_process->finish(std::chrono::seconds(10));
        m_process.reset();
        return result;
    }
    void kill() { m_process->signal(SIGKILL); }
    const std::filesystem::path& folder() const { return m_folder.path(); }

private:
    TemporaryDirectory m_folder;
    std::string m_program;
    std::function<std::vector<std::string>(const std::filesystem::path&)> m_arguments;
    std::optional<ChildProcess> m_process;
};

inline bool Connectable(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

// Mosquitto, keeping its sessions in its folder across a restart on the same port.
class Broker : public ServerProcess {
public:
    Broker()
        : ServerProcess("mosquitto", "/usr/sbin/mosquitto", [this](const auto& folder) {
              std::ofstream(folder / "mosquitto.conf")
                  << "listener " << port << " 127.0.0.1\nallow_anonymous true\n"
                  << "persistence true\npersistence_location " << folder.string() << "/\n";
              return std::vector<std::string>{"-c", (folder / "mosquitto.conf").string()};
          }) {}
    void startListening() {
        start();
        ASSERT_TRUE(Eventually([this] { return Connectable(port); })) << "no broker";
    }
    std::string url(const std::string& prefix) const {
        return "mqtt://127.0.0.1:" + std::to_string(port) + "/" + prefix;
    }
    // The retained status of the prefix, as a new subscriber gets it.
    std::string retainedStatus(const std::string& prefix) const {
        TemporaryDirectory folder("status-" + CurrentTestName());
        ChildProcess sub("/usr/bin/mosquitto_sub",
                         {"-h", "127.0.0.1", "-p", std::to_string(port), "-t", prefix + "/status",
                          "-C", "1", "-W", "5"},
                         folder.path(), {});
        const std::vector<std::string> lines = Lines(sub.finish().out);
        return lines.empty() ? "" : lines.front();
    }

    const int port = FreeLoopbackPort();
};

// mosquitto_sub on every topic of the prefix, QoS 1, with a session the broker keeps.
class Subscriber {
public:
    Subscriber(const Broker& broker, const std::string& prefix)
        : m_folder("sub-" + CurrentTestName()),
          m_process("/usr/bin/mosquitto_sub",
                    {"-h", "127.0.0.1", "-p", std::to_string(broker.port), "-t", prefix + "/#",
                     "-q", "1", "-v", "-c", "-i", "tavolex-test-" + std::to_string(getpid())},
                    m_folder.path(), {}) {}

    std::vector<std::string> lines() const {
        return Lines(FileText(m_folder.path() / ".child-out"));
    }
    bool got(const std::string& line) const {
        const std::vector<std::string> all = lines();
        return std::find(all.begin(), all.end(), line) != all.end();
    }
    // The payloads on one topic, in the order they came.
    std::vector<std::string> payloads(const std::string& topic) const {
        std::vector<std::string> found;
        for (const std::string& line : lines()) {
            if (line.starts_with(topic + " ")) found.push_back(line.substr(topic.size() + 1));
        }
        return found;
    }
    ~Subscriber() {
        m_process.signal(SIGTERM);
        m_process.finish();
    }

private:
    TemporaryDirectory m_folder;
    ChildProcess m_process;
};

// Prometheus scraping one target every second.
class Prometheus : public ServerProcess {
public:
    explicit Prometheus(int target)
        : ServerProcess("prometheus", "/usr/bin/prometheus", [this, target](const auto& folder) {
              std::ofstream(folder / "prometheus.yml")
                  << "global:\n  scrape_interval: 1s\n  scrape_timeout: 1s\n"
                  << "scrape_configs:\n  - job_name: tavolex\n    static_configs:\n"
                  << "      - targets: ['127.0.0.1:" << target << "']\n";
              return std::vector<std::string>{
                  "--config.file=" + (folder / "prometheus.yml").string(),
                  "--storage.tsdb.path=" + (folder / "data").string(),
                  "--web.listen-address=127.0.0.1:" + std::to_string(port), "--log.level=warn"};
          }) {}
    void startServing() {
        start();
        ASSERT_TRUE(Eventually([this] {
            httplib::Client client("127.0.0.1", port);
            const auto reply = client.Get("/-/ready");
            return reply && reply->status == 200;
        })) << "no prometheus";
    }
    // The samples of an instant vector query over a range ("name{…}[2m]"), as
    // (time in milliseconds, value) of the first series.
    std::vector<std::pair<long long, std::string>> samples(const std::string& query) const {
        httplib::Client client("127.0.0.1", port);
        const auto reply = client.Get("/api/v1/query", httplib::Params{{"query", query}},
                                      httplib::Headers{});
        std::vector<std::pair<long long, std::string>> found;
        if (!reply || reply->status != 200) return found;
        static const std::regex sample(R"re(\[([0-9]+)(?:\.([0-9]+))?,"([^"]*)"\])re");
        for (auto it = std::sregex_iterator(reply->body.begin(), reply->body.end(), sample);
             it != std::sregex_iterator(); ++it) {
            std::string fraction = (*it)[2].str() + "000";
            found.emplace_back(std::stoll((*it)[1]) * 1000 + std::stoll(fraction.substr(0, 3)),
                               (*it)[3]);
        }
        return found;
    }

    const int port = FreeLoopbackPort();
};

}  // namespace tavolex::testing
