// What every measurement of the wire benchmark shares: the simulated instrument on a
// pseudo-terminal pacing its bytes at the line's rate, a port opener that notes when each
// request leaves, the line's own arithmetic, a few statistics and the printed table.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "FaultPlan.h"
#include "PosixSerialPort.h"
#include "PtyHost.h"
#include "SerialPort.h"

namespace tavolex::bench {

using Milliseconds = std::chrono::duration<double, std::milli>;

// A byte on the line is a start bit, eight data bits and a stop bit.
inline constexpr int kBitsPerByte = 10;

// How long `bytes` bytes take on the line at `baud`.
Milliseconds WireTime(std::size_t bytes, int baud);

// The simulated instrument as port 1 in a private ports folder (TAVOLEX_PORTS_DIR is set for
// this process and the programs it starts) for the object's lifetime, pacing every reply.
class SimulatedLine {
public:
    struct Options {
        std::size_t storedRecords = 0;
        std::vector<sim::FaultRule> faults;
    };
    explicit SimulatedLine(const Options& options);
    ~SimulatedLine();
    SimulatedLine(const SimulatedLine&) = delete;
    SimulatedLine& operator=(const SimulatedLine&) = delete;

    bool started() const { return m_started; }

private:
    std::filesystem::path m_dir;
    std::unique_ptr<sim::PtyHost> m_host;
    bool m_started = false;
};

// Opens real ports and notes the moment each write to them begins, from any thread.
class TimedPortOpener final : public PortOpener {
public:
    using Moment = std::chrono::steady_clock::time_point;

    PortHandle open(const LinkSettings& settings, PortProfile profile) override;
    std::vector<Moment> writes() const;
    void noteWrite();

private:
    PosixPortOpener m_ports;
    mutable std::mutex m_mutex;
    std::vector<Moment> m_writes;
};

// The value below which `share` (0 to 1) of the samples lie; the samples get sorted.
double Percentile(std::vector<double>& samples, double share);

// The process's user and system CPU time so far.
Milliseconds ProcessCpuTime();
// The process's resident memory in MB, from /proc/self/status.
double ResidentMegabytes();
// Nanoseconds on the steady clock, which every process on the machine shares.
long long SteadyNanoseconds();

struct Row {
    std::string measured;
    std::string limit;
    std::string ours;
    std::string ratio;
    std::string target;
    // None when the measurement could not be made.
    std::optional<bool> met;
};

std::string Format(const char* format, double value);
void PrintTable(const std::vector<Row>& rows);

}  // namespace tavolex::bench
