// What the trend costs: redrawing the chart with all 68 channels over a full day of readings
// (144 000 a channel), and the window's handling of one reading with the trend window open
// and closed. Run: build/bin/trend_bench (offscreen: QT_QPA_PLATFORM=offscreen).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include "Commands.h"
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
    return 0;
}
