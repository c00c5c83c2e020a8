// How long one exchange takes through the real port against the simulated instrument, and
// what the frame arithmetic costs. Run: build/bin/link_bench
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "Commands.h"
#include "Frame.h"
#include "InstrumentModel.h"
#include "PosixSerialPort.h"
#include "PtyHost.h"
#include "ReadTemperatures.h"
#include "Transact.h"

namespace tavolex {
namespace {

class BenchHost final : public FixedSettings {
public:
    BenchHost() : FixedSettings({1, 9600, 0}) {}
};

// The simulator as com1 in a private ports folder for the benchmark's lifetime.
class Simulator {
public:
    explicit Simulator(bool pace)
        : m_dir(std::filesystem::temp_directory_path() / "tavolex-bench") {
        std::filesystem::create_directories(m_dir);
        setenv("TAVOLEX_PORTS_DIR", m_dir.c_str(), 1);
        sim::HostOptions options;
        options.pace = pace;
        options.linkPath = m_dir / "com1";
        m_host = std::make_unique<sim::PtyHost>(sim::InstrumentModel(), options);
        m_host->start();
    }
    ~Simulator() {
        m_host->stop();
        std::filesystem::remove_all(m_dir);
    }

private:
    std::filesystem::path m_dir;
    std::unique_ptr<sim::PtyHost> m_host;
};

void BM_FrameChecksumOfARecordReply(benchmark::State& state) {
    Bytes record(152, 0x5A);
    for (auto _ : state)
        benchmark::DoNotOptimize(FrameChecksum(record, 150));
}
BENCHMARK(BM_FrameChecksumOfARecordReply);

// One reading of all 68 words; arg 1 paces the reply at 9600 baud as a real line does.
void BM_ReadTemperaturesThroughThePty(benchmark::State& state) {
    Simulator simulator(state.range(0) != 0);
    PosixPortOpener opener;
    LinkContext link{opener, SystemClock()};
    PortHandle port = OpenPort({1, 9600, 0}, PortProfile::Acquisition);
    TemperatureReply reply;
    for (auto _ : state) {
        if (!ReadTemperatures(*port, 0, reply, link)) state.SkipWithError("reading failed");
    }
}
BENCHMARK(BM_ReadTemperaturesThroughThePty)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A generic transaction whose reply fills its wait: open, 50 ms pause, wait, read, close.
void BM_TransactReadProbeSn(benchmark::State& state) {
    Simulator simulator(false);
    PosixPortOpener opener;
    LinkContext link{opener, SystemClock()};
    BenchHost host;
    const Bytes channel{1};
    for (auto _ : state) {
        if (Transact(host, link, 0, channel, command::kReadProbeSn).count < 17) {
            state.SkipWithError("transaction failed");
        }
    }
}
BENCHMARK(BM_TransactReadProbeSn)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavolex

BENCHMARK_MAIN();
