#include <cstdio>
#include <optional>

#include "Commands.h"
#include "Measures.h"
#include "ReadTemperatures.h"
#include "RecordDownload.h"
#include "Transact.h"

namespace tavolex::bench {

namespace {

using Steady = std::chrono::steady_clock;

constexpr std::size_t kRequestBytes = 9;
constexpr double kMedianTargetMs = 0.5;
constexpr double kP99TargetMs = 1.0;
constexpr int kDownloadRecords = 255;
constexpr std::size_t kRecordRequestBytes = 10;
constexpr std::size_t kRecordReplyBytes = 152;
constexpr double kDownloadTargetShare = 0.97;
constexpr int kDownloadBaud = 9600;

class BenchHost final : public FixedSettings {
public:
    explicit BenchHost(int baud) : FixedSettings({1, baud, 0}) {}
};

// Time taken by each exchange beyond its limit, and the limit of the last one.
struct Overheads {
    std::vector<double> extraMs;
    Milliseconds limit{0};
    int failures = 0;
};

// As the acquire button does it: open, read all words, close.
Overheads MeasureReadings(int baud, int exchanges) {
    PosixPortOpener opener;
    LinkContext link{opener, SystemClock()};
    TemperatureReply reply;
    Overheads result;
    for (int i = 0; i < exchanges; ++i) {
        const auto start = Steady::now();
        PortHandle port = opener.open({1, baud, 0}, PortProfile::Command);
        if (!port) {
            ++result.failures;
            continue;
        }
        const ReadOutcome outcome = ReadTemperatureReply(*port, 0, reply, link);
        port.reset();
        const Milliseconds took = Steady::now() - start;
        if (!outcome.ok()) {
            ++result.failures;
            continue;
        }
        result.limit = WireTime(kRequestBytes + outcome.received, baud);
        result.extraMs.push_back((took - result.limit).count());
    }
    return result;
}

// The generic transaction pauses after its request while the line carries it and the reply,
// so its limit is the longer of the pause and the wire.
Overheads MeasureTransactions(int baud, int exchanges) {
    PosixPortOpener opener;
    LinkContext link{opener, SystemClock()};
    BenchHost host(baud);
    const Bytes channel{1};
    Overheads result;
    for (int i = 0; i < exchanges; ++i) {
        const auto start = Steady::now();
        const TransactResult reply = Transact(host, link, 0, channel, command::kReadProbeSn);
        const Milliseconds took = Steady::now() - start;
        if (reply.count < 9) {
            ++result.failures;
            continue;
        }
        const Milliseconds wire =
            WireTime(kRequestBytes + channel.size() + static_cast<std::size_t>(reply.count), baud);
        result.limit = std::max(wire, Milliseconds(kPauseAfterRequestMs));
        result.extraMs.push_back((took - result.limit).count());
    }
    return result;
}

void AddOverheadRows(std::vector<Row>& rows, const std::string& what, Overheads overheads) {
    const double limit = overheads.limit.count();
    const double median = Percentile(overheads.extraMs, 0.5);
    const double p99 = Percentile(overheads.extraMs, 0.99);
    const std::string failures =
        overheads.failures ? Format(" (%.0f failed)", overheads.failures) : std::string();
    const auto row = [&](const char* statistic, double extra, double target) {
        Row r;
        r.measured = what + ", " + statistic + failures;
        r.limit = Format("%.2f ms", limit);
        r.ours = Format("%.2f ms", limit + extra) + Format(" (+%.3f ms)", extra);
        r.ratio = Format("%.4f", (limit + extra) / limit);
        r.target = Format("+<= %.1f ms", target);
        if (!std::isnan(extra)) r.met = extra <= target && overheads.failures == 0;
        rows.push_back(r);
    };
    row("median", median, kMedianTargetMs);
    row("p99", p99, kP99TargetMs);
}

class CountingSink final : public RecordSink {
public:
    void showRecord(int, const std::optional<StoredRecord>& record) override {
        ++(record ? good : bad);
    }
    int good = 0;
    int bad = 0;
};

}  // namespace

std::vector<Row> MeasureExchanges(int baud, int exchanges) {
    std::vector<Row> rows;
    SimulatedLine line({});
    if (!line.started()) return rows;
    const std::string at = Format(" at %.0f Bd", baud);
    AddOverheadRows(rows, "Reading of 68 words" + at, MeasureReadings(baud, exchanges));
    AddOverheadRows(rows, "Generic transaction" + at, MeasureTransactions(baud, exchanges));
    return rows;
}

std::vector<Row> MeasureDownload() {
    Row row;
    row.measured = Format("Download of %.0f records at 9600 Bd", kDownloadRecords);
    const double limitPerSecond =
        1000.0 / WireTime(kRecordRequestBytes + kRecordReplyBytes, kDownloadBaud).count();
    row.limit = Format("%.3f records/s", limitPerSecond);
    row.target = Format(">= %.0f %%", kDownloadTargetShare * 100);

    SimulatedLine line({.storedRecords = kDownloadRecords, .faults = {}});
    PosixPortOpener opener;
    LinkContext link{opener, SystemClock()};
    PortHandle port = opener.open({1, kDownloadBaud, 0}, PortProfile::Records);
    if (!line.started() || !port) return {row};
    RecordTransferState state;
    state.total = kDownloadRecords;
    CountingSink sink;
    const auto start = Steady::now();
    DownloadRecords(std::move(port), 0, state, sink, link);
    const Milliseconds took = Steady::now() - start;
    const double perSecond = sink.good / (took.count() / 1000.0);
    row.ours = Format("%.3f records/s", perSecond);
    if (sink.bad) row.ours += Format(" (%.0f unreadable)", sink.bad);
    row.ratio = Format("%.1f %%", 100 * perSecond / limitPerSecond);
    row.met = perSecond >= kDownloadTargetShare * limitPerSecond && sink.bad == 0;
    return {row};
}

int ChildLinkWait() {
    PosixPortOpener opener;
    LinkContext link{opener, SystemClock()};
    BenchHost host(9600);
    const Milliseconds cpu = ProcessCpuTime();
    const auto start = Steady::now();
    const TransactResult reply = Transact(host, link, 0, {}, command::kRegisterFullyAutomatic);
    std::printf("wall_ms=%.1f\ncpu_ms=%.3f\ncount=%d\n",
                Milliseconds(Steady::now() - start).count(), (ProcessCpuTime() - cpu).count(),
                reply.count);
    return 0;
}

}  // namespace tavolex::bench
