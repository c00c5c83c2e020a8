// What the trend costs: redrawing the chart with all 68 channels over a full day of readings
// (144 000 a channel), the window's handling of one reading with the trend window open and
// closed, and a saved run of 500 000 readings of 68 channels: opening its CSV file in a window
// (with the peak resident memory) and redrawing it after a zoom. Run: build/bin/trend_bench
// (offscreen: QT_QPA_PLATFORM=offscreen).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

#include "Commands.h"
#include "CsvFile.h"
#include "Frame.h"
#include "MainDialog.h"
#include "PosixSerialPort.h"
#include "StreamOperator.h"
#include "TrendDialog.h"
#include "TrendMonitor.h"

namespace tavolex {
namespace {

constexpr int kReadingsPerDay = 144'000;
constexpr std::int64_t kPeriodMs = 600;

// A full reply whose channels drift along sines of their own.
TemperatureReply DriftingReply(int reading) {
    Bytes data;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const double tenths =
            250 + 50 * std::sin(reading / (300.0 + channel * 17) + channel) + (reading % 3);
        const TenthDegree word = TenthDegree::FromTenths(static_cast<int>(tenths));
        data.push_back(word.high());
        data.push_back(word.low());
    }
    const Bytes frame = ReplyFrame(0, command::kReadTemperatures, data);
    TemperatureReply reply;
    std::copy(frame.begin(), frame.end(), reply.bytes.begin());
    return reply;
}

// A main window whose trend holds a day of readings, every 500th a failure.
class DayOfReadings {
public:
    DayOfReadings() {
        window.trend().nowMs = [this] { return m_nowMs += kPeriodMs; };
        for (int i = 0; i < kReadingsPerDay; ++i) {
            if (i % 500 == 499) {
                window.trend().takeFailure();
            } else {
                window.trend().takeReading(DriftingReply(i));
            }
        }
    }
    TrendDialog& openAllChannels(TrendDialog::Span span) {
        TrendDialog& dialog = window.trend().openTrend();
        for (int channel = 0; channel < kChannelCount; ++channel)
            dialog.setChannelShown(channel, true);
        dialog.setSpan(span);
        dialog.redrawNow();
        return dialog;
    }

    PosixPortOpener ports;
    StreamOperator person{std::cerr, "trend_bench"};
    MainDialog window{ports, SystemClock(), person};

private:
    std::int64_t m_nowMs = 1'700'000'000'000;
};

void BM_RedrawAllChannelsOverADay(benchmark::State& state) {
    DayOfReadings day;
    TrendDialog& dialog = day.openAllChannels(TrendDialog::Span::Day);
    for (auto _ : state) {
        dialog.redrawNow();
        // Painting is part of a redraw.
        benchmark::DoNotOptimize(dialog.grab());
    }
}
BENCHMARK(BM_RedrawAllChannelsOverADay)->Unit(benchmark::kMillisecond);

// One reading as the window handles it during a run: the lists, the trend's bookkeeping and
// whatever redraw falls due, at the pace the benchmark runs (far faster than 600 ms).
void BM_HandleReading(benchmark::State& state) {
    const bool trendOpen = state.range(0) != 0;
    DayOfReadings day;
    if (trendOpen) day.openAllChannels(TrendDialog::Span::FiveMinutes);
    const TemperatureReply reply = DriftingReply(7);
    for (auto _ : state) {
        day.window.temperatureReply() = reply;
        day.window.showTemperatures();
        QCoreApplication::processEvents();
    }
    state.SetLabel(trendOpen ? "trend window open" : "trend window closed");
}
BENCHMARK(BM_HandleReading)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

constexpr int kSavedReadings = 500'000;

// The CSV file of a run of 500 000 readings of every channel, written once per process.
const std::filesystem::path& SavedRunCsv() {
    static const std::filesystem::path file = [] {
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / "tavolex-bench-run.csv";
        std::ofstream out(path, std::ios::binary);
        out << kUtf8ByteOrderMark << CsvHeading(std::vector<std::string>(kChannelCount, "x"));
        std::time_t at = 1'700'000'000;
        for (int i = 0; i < kSavedReadings; ++i, at += 2) {
            std::tm local{};
            localtime_r(&at, &local);
            out << CsvRecordLine(local, DriftingReply(i));
        }
        return path;
    }();
    return file;
}

// The live window that the saved run is opened from, with nothing in it.
struct NoLiveRun {
    TrendHistory history{1};
    ChannelSettings settings;
    ChannelAlarms alarms;
};

long PeakResidentMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6)) / 1024;
    }
    return 0;
}

// From the file to the window on screen with all its channels drawn. Run it first and alone
// (--benchmark_filter=OpenSavedRun) for a peak memory that is the opening's own.
void BM_OpenSavedRunCsv(benchmark::State& state) {
    const std::filesystem::path& file = SavedRunCsv();
    StreamOperator person{std::cerr, "trend_bench"};
    const NoLiveRun none;
    for (auto _ : state) {
        TrendDialog live({none.history, none.settings, none.alarms}, person, nullptr);
        TrendDialog* opened = live.openDataFile(file);
        if (opened == nullptr) state.SkipWithError("the file was not opened");
        QCoreApplication::processEvents();
    }
    state.counters["peak_resident_MB"] = static_cast<double>(PeakResidentMb());
    state.SetLabel(std::to_string(std::filesystem::file_size(file) >> 20) + " MB file");
}
BENCHMARK(BM_OpenSavedRunCsv)->Iterations(2)->Unit(benchmark::kMillisecond);

// A zoom into a new span of the opened run, all 68 channels shown, drawn and painted.
void BM_RedrawSavedRunAfterZoom(benchmark::State& state) {
    StreamOperator person{std::cerr, "trend_bench"};
    const NoLiveRun none;
    TrendDialog live({none.history, none.settings, none.alarms}, person, nullptr);
    TrendDialog* opened = live.openDataFile(SavedRunCsv());
    if (opened == nullptr) {
        state.SkipWithError("the file was not opened");
        return;
    }
    for (int channel = 0; channel < kChannelCount; ++channel)
        opened->setChannelShown(channel, true);
    opened->resize(1200, 700);
    opened->show();
    const TimeSpan whole = opened->visibleSpan();
    const std::int64_t width = whole.toMs - whole.fromMs;
    int step = 0;
    QElapsedTimer part;
    double updateMs = 0;
    for (auto _ : state) {
        // Half the run, starting somewhere else each time.
        const std::int64_t from = whole.fromMs + width / 20 * (step++ % 10);
        part.start();
        opened->zoomTo({from, from + width / 2});
        updateMs += static_cast<double>(part.nsecsElapsed()) / 1e6;
        benchmark::DoNotOptimize(opened->grab());
    }
    // The share of the chart's update (samples, statistics, series) in the whole.
    state.counters["update_ms"] =
        benchmark::Counter(updateMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RedrawSavedRunAfterZoom)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavolex

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The windows read channel settings from the configuration folder: not the user's own.
    char config[] = "/tmp/tavolex-bench-config-XXXXXX";
    if (mkdtemp(config) != nullptr) setenv("XDG_CONFIG_HOME", config, 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(config, ignored);
    std::filesystem::remove(std::filesystem::temp_directory_path() / "tavolex-bench-run.csv",
                            ignored);
    return 0;
}
