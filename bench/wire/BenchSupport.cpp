#include "BenchSupport.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "InstrumentModel.h"

namespace tavolex::bench {

Milliseconds WireTime(std::size_t bytes, int baud) {
    return Milliseconds(1000.0 * kBitsPerByte * static_cast<double>(bytes) / baud);
}

SimulatedLine::SimulatedLine(const Options& options) {
    std::string folder = (std::filesystem::temp_directory_path() / "tavolex-bench-XXXXXX").string();
    if (!mkdtemp(folder.data())) return;
    m_dir = folder;
    setenv("TAVOLEX_PORTS_DIR", m_dir.c_str(), 1);
    sim::InstrumentModel model;
    model.preloadRecords(options.storedRecords);
    sim::HostOptions host;
    host.pace = true;
    host.linkPath = m_dir / "com1";
    m_host = std::make_unique<sim::PtyHost>(std::move(model), host);
    for (const sim::FaultRule& rule : options.faults)
        m_host->faults().add(rule);
    std::string error;
    m_started = m_host->start(&error);
    if (!m_started) std::fprintf(stderr, "wire_bench: simulator: %s\n", error.c_str());
}

SimulatedLine::~SimulatedLine() {
    if (m_host) m_host->stop();
    if (!m_dir.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
}

namespace {

// A real port whose writes are noted by the opener that made it.
class TimedPort final : public SerialPort {
public:
    TimedPort(PortHandle port, TimedPortOpener& opener)
        : m_port(std::move(port)), m_opener(opener) {}

    PortProfile profile() const override { return m_port->profile(); }
    std::size_t queuedBytes() override { return m_port->queuedBytes(); }
    std::size_t readQueued(std::span<std::uint8_t> into) override {
        return m_port->readQueued(into);
    }
    std::size_t write(ByteView bytes) override {
        m_opener.noteWrite();
        return m_port->write(bytes);
    }
    void purge() override { m_port->purge(); }
    void waitForInput(std::size_t known, Clock::Duration maxWait) override {
        m_port->waitForInput(known, maxWait);
    }
    int readableDescriptor() const override { return m_port->readableDescriptor(); }

private:
    PortHandle m_port;
    TimedPortOpener& m_opener;
};

}  // namespace

PortHandle TimedPortOpener::open(const LinkSettings& settings, PortProfile profile) {
    PortHandle port = m_ports.open(settings, profile);
    if (!port) return nullptr;
    return std::make_unique<TimedPort>(std::move(port), *this);
}

void TimedPortOpener::noteWrite() {
    const Moment now = std::chrono::steady_clock::now();
    std::lock_guard lock(m_mutex);
    m_writes.push_back(now);
}

std::vector<TimedPortOpener::Moment> TimedPortOpener::writes() const {
    std::lock_guard lock(m_mutex);
    return m_writes;
}

double Percentile(std::vector<double>& samples, double share) {
    if (samples.empty()) return NAN;
    std::sort(samples.begin(), samples.end());
    const auto rank =
        static_cast<std::size_t>(std::ceil(share * static_cast<double>(samples.size())));
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

Milliseconds ProcessCpuTime() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return Milliseconds(ms(usage.ru_utime) + ms(usage.ru_stime));
}

double ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    }
    return NAN;
}

long long SteadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string Format(const char* format, double value) {
    if (std::isnan(value)) return "-";
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void PrintTable(const std::vector<Row>& rows) {
    const std::vector<std::string> heads{"Measured", "Limit", "Ours", "Ratio", "Target", "Met"};
    const auto metText = [](const Row& row) -> std::string {
        if (!row.met) return "not run";
        return *row.met ? "yes" : "NO";
    };
    std::vector<std::size_t> widths;
    for (const std::string& head : heads)
        widths.push_back(head.size());
    for (const Row& row : rows) {
        const std::string cells[] = {row.measured, row.limit,  row.ours,
                                     row.ratio,    row.target, metText(row)};
        for (std::size_t i = 0; i < widths.size(); ++i)
            widths[i] = std::max(widths[i], cells[i].size());
    }
    const auto print = [&](const std::vector<std::string>& cells) {
        std::string line = "|";
        for (std::size_t i = 0; i < cells.size(); ++i)
            line += " " + cells[i] + std::string(widths[i] - cells[i].size(), ' ') + " |";
        std::puts(line.c_str());
    };
    print(heads);
    std::string rule = "|";
    for (std::size_t width : widths)
        rule += std::string(width + 2, '-') + "|";
    std::puts(rule.c_str());
    for (const Row& row : rows)
        print({row.measured, row.limit, row.ours, row.ratio, row.target, metText(row)});
}

}  // namespace tavolex::bench
