// Real Mosquitto and Prometheus servers from the system's packages, each on a free loopback port
// in a folder of its own, stopped at the end; and a subscriber to the broker.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <httplib.h>

#include <fstream>
#include <optional>

#include "ChildProcess.h"

namespace tavolex::testing {

// Binds a loopback socket to `port` (0: the system's choice, a port nobody listens on now)
// and returns the port it has, or connects to `port` and returns it when that worked, else 0.
inline int OnLoopback(int port, bool connectToIt) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    auto* any = reinterpret_cast<sockaddr*>(&address);
    const bool ok = connectToIt ? connect(fd, any, size) == 0
                                : bind(fd, any, size) == 0 && getsockname(fd, any, &size) == 0;
    close(fd);
    return ok ? ntohs(address.sin_port) : 0;
}
inline int FreeLoopbackPort() {
    return OnLoopback(0, false);
}

// Polls `done` every 20 ms until it holds or the time is up.
template <class Condition>
bool Eventually(Condition done, std::chrono::milliseconds timeout = std::chrono::seconds(15)) {
    for (const auto end = std::chrono::steady_clock::now() + timeout; !done();
         std::this_thread::sleep_for(std::chrono::milliseconds(20)))
        if (std::chrono::steady_clock::now() >= end) return false;
    return true;
}

// A server program in its own folder on its own port, ended with SIGTERM.
class ServerProcess {
public:
    ServerProcess(const std::string& name, std::string program)
        : m_folder(name + "-" + CurrentTestName()), m_program(std::move(program)) {}
    ~ServerProcess() { stop(); }
    void stop() {
        if (!m_process) return;
        m_process->signal(SIGTERM);
        m_process->finish(std::chrono::seconds(10));
        m_process.reset();
    }

    const int port = FreeLoopbackPort();

protected:
    // Writes the configuration file and starts the program with the arguments.
    void start(const std::string& file, const std::string& config,
               const std::vector<std::string>& arguments) {
        std::ofstream(m_folder.path() / file) << config;
        m_process.emplace(m_program, arguments, m_folder.path(), std::vector<std::string>{});
    }
    std::string path(const std::string& name) const { return (m_folder.path() / name).string(); }

private:
    TemporaryDirectory m_folder;
    std::string m_program;
    std::optional<ChildProcess> m_process;
};

// Mosquitto, keeping its sessions in its folder across a restart on the same port. It runs as
// the user running the tests: started by root it would otherwise switch to its own user, which
// cannot write the folder, and lose the sessions at the restart.
class Broker : public ServerProcess {
public:
    Broker() : ServerProcess("mosquitto", "/usr/sbin/mosquitto") {}
    void startListening() {
        const passwd* user = getpwuid(geteuid());
        ASSERT_NE(user, nullptr);
        start("mosquitto.conf",
              "listener " + std::to_string(port) + " 127.0.0.1\nallow_anonymous true\n" +
                  "persistence true\npersistence_location " + path("") + "\nuser " + user->pw_name +
                  "\n",
              {"-c", path("mosquitto.conf")});
        ASSERT_TRUE(Eventually([this] { return OnLoopback(port, true) == port; })) << "no broker";
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
    ~Subscriber() {
        m_process.signal(SIGTERM);
        m_process.signal(SIGCONT);  // a stopped subscriber ends too
        m_process.finish();
    }
    // The payloads on one topic, in the order they came.
    std::vector<std::string> payloads(const std::string& topic) const {
        std::vector<std::string> found;
        for (const std::string& line : Lines(FileText(m_folder.path() / ".child-out")))
            if (line.starts_with(topic + " ")) found.push_back(line.substr(topic.size() + 1));
        return found;
    }
    bool got(const std::string& topic, const std::string& payload) const {
        return std::ranges::count(payloads(topic), payload) > 0;
    }
    void signal(int number) const { m_process.signal(number); }

private:
    TemporaryDirectory m_folder;
    ChildProcess m_process;
};

// Prometheus scraping one target every second.
class Prometheus : public ServerProcess {
public:
    Prometheus() : ServerProcess("prometheus", "/usr/bin/prometheus") {}
    void startServing(int target) {
        start("prometheus.yml",
              "global:\n  scrape_interval: 1s\n  scrape_timeout: 1s\nscrape_configs:\n"
              "  - job_name: tavolex\n    static_configs:\n      - targets: ['127.0.0.1:" +
                  std::to_string(target) + "']\n",
              {"--config.file=" + path("prometheus.yml"), "--storage.tsdb.path=" + path("data"),
               "--web.listen-address=127.0.0.1:" + std::to_string(port), "--log.level=warn"});
        ASSERT_TRUE(Eventually([this] {
            const auto reply = httplib::Client("127.0.0.1", port).Get("/-/ready");
            return reply && reply->status == 200;
        })) << "no prometheus";
    }
    // The samples of an instant vector query over a range ("name{…}[2m]"), as (scrape time as
    // written, value) of the first series.
    std::vector<std::pair<std::string, std::string>> samples(const std::string& query) const {
        const auto reply = httplib::Client("127.0.0.1", port)
                               .Get("/api/v1/query", {{"query", query}}, httplib::Headers{});
        std::vector<std::pair<std::string, std::string>> found;
        if (!reply || reply->status != 200) return found;
        static const std::regex sample(R"re(\[([0-9.]+),"([^"]*)"\])re");
        for (auto it = std::sregex_iterator(reply->body.begin(), reply->body.end(), sample);
             it != std::sregex_iterator(); ++it)
            found.emplace_back((*it)[1], (*it)[2]);
        return found;
    }
};

}  // namespace tavolex::testing
