// What the outputs for other systems cost the acquisition thread: the time of handing one
// reading to the metrics board and the MQTT queue, with a real broker taking the messages (a
// Mosquitto started on a free loopback port when the system has one). With both outputs off
// the loop makes no such call, so this time is the whole difference between on and off.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <thread>

#include "Commands.h"
#include "ErrorLog.h"
#include "Frame.h"
#include "Measures.h"
#include "SiteOutputs.h"

extern char** environ;

namespace tavolex::bench {

namespace {

constexpr double kPublishTargetMs = 0.1;
constexpr int kReadings = 2000;
constexpr const char* kBroker = "/usr/sbin/mosquitto";

int FreePort() {
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

bool Accepts(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
}

// A broker on a loopback port for as long as the object lives; none without the program.
class LocalBroker {
public:
    LocalBroker() {
        if (!std::filesystem::exists(kBroker)) return;
        std::string program = kBroker, portOption = "-p", port = std::to_string(m_port);
        char* argv[] = {program.data(), portOption.data(), port.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&m_pid, kBroker, &actions, nullptr, argv, environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        for (int i = 0; i < 500 && m_pid > 0 && !Accepts(m_port); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~LocalBroker() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    bool running() const { return m_pid > 0 && Accepts(m_port); }
    int port() const { return m_port; }

private:
    int m_port = FreePort();
    pid_t m_pid = -1;
};

TemperatureReply FullReply() {
    Bytes data;
    for (int word = 0; word < kMaxTemperatureWords; ++word) {
        data.push_back(0x00);
        data.push_back(static_cast<std::uint8_t>(200 + word));
    }
    const Bytes frame = ReplyFrame(0, command::kReadTemperatures, data);
    TemperatureReply reply;
    std::copy(frame.begin(), frame.end(), reply.bytes.begin());
    return reply;
}

}  // namespace

std::vector<Row> MeasurePublishing() {
    LocalBroker broker;
    SiteOutputs outputs("3");
    std::string error;
    const bool served = outputs.serveMetrics({"127.0.0.1", 0}, SystemClock(), error);
    const bool publishing =
        outputs.publishTo({false, "127.0.0.1", broker.port(), "bench/line3"}, error);
    const TemperatureReply reply = FullReply();
    const std::tm local = LocalTimeNow();
    std::vector<double> costs;
    for (int i = 0; i < kReadings; ++i) {
        const long long start = SteadyNanoseconds();
        outputs.reading(std::time(nullptr), local, reply);
        costs.push_back(static_cast<double>(SteadyNanoseconds() - start) / 1e6);
        // Readings come at least 600 ms apart; a short gap lets the sender keep up as it would.
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const std::uint64_t dropped = outputs.close();
    const double median = Percentile(costs, 0.5);
    const double p99 = Percentile(costs, 0.99);
    Row row{"Publishing one reading on the acquisition thread (metrics + MQTT QoS 1, 68 channels" +
                std::string(broker.running() ? ", local Mosquitto" : ", no broker: queue only") +
                ")",
            "-",
            Format("%.4f ms median, ", median) + Format("%.4f ms p99", p99) +
                Format(", %.0f dropped", static_cast<double>(dropped)),
            "-",
            Format("< %.1f ms", kPublishTargetMs),
            std::nullopt};
    if (served && publishing && !std::isnan(p99)) row.met = p99 < kPublishTargetMs;
    return {row};
}

}  // namespace tavolex::bench
