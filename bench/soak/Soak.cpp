#include "Soak.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>

#include "AcquisitionLoop.h"
#include "Commands.h"
#include "ErrorLog.h"
#include "Frame.h"
#include "Gbk.h"
#include "InstrumentModel.h"
#include "ManualClock.h"
#include "ModelPort.h"
#include "PosixSerialPort.h"
#include "PtyHost.h"
#include "TemperatureReply.h"

namespace tavolex::soak {

namespace {

namespace chr = std::chrono;
using sim::FaultKind;
using sim::FaultRule;

// Where the virtual run's wall clock starts.
constexpr chr::seconds kVirtualEpoch{1'780'000'000};
constexpr int kPeriodMs = 1000;
constexpr std::size_t kRssMark = 1000;
constexpr std::size_t kProgressEvery = 10000;
constexpr std::size_t kProblemsKept = 10;
// A late reply still comes within the 3-second wait for it (less on the pty, whose thread
// adds its own scheduling delay).
constexpr int kLatestVirtualMs = 2500;
constexpr int kLatestRealMs = 2000;

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

std::tm Utc(std::time_t t) {
    std::tm tm{};
    gmtime_r(&t, &tm);
    return tm;
}

std::string ClockText(const std::tm& tm) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    return text;
}

// The bytes of a file from `offset` on; moves the offset past them.
std::string ReadOn(const std::filesystem::path& file, std::size_t& offset) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    in.seekg(static_cast<std::streamoff>(offset));
    std::string text{std::istreambuf_iterator<char>(in), {}};
    offset += text.size();
    return text;
}

std::size_t CountOf(const std::string& text, std::string_view what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// What the reader must make of the bytes that reached the line: the reading, or the failure
// with its error-log text and the bytes it logs.
struct Expected {
    bool success = false;
    std::string_view text;
    Bytes logged;
};

Expected ExpectedOutcome(const std::optional<Bytes>& delivered) {
    if (!delivered || delivered->size() < kFrameHeaderSize) {
        return {false, "读错误，要读7个字节，", delivered.value_or(Bytes{})};
    }
    const Bytes& bytes = *delivered;
    const int words = BigEndian16(bytes, 5) / 2;
    if (words < kMinTemperatureWords || words > kMaxTemperatureWords) {
        return {false, "温度个数错误，", Bytes(bytes.begin(), bytes.begin() + kFrameHeaderSize)};
    }
    const std::size_t whole = kFrameOverhead + 2 * static_cast<std::size_t>(words);
    if (bytes.size() < whole) return {false, "读温度错误，", bytes};
    const Bytes frame(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(whole));
    if (!HasValidChecksum(frame)) return {false, "校验错误，", frame};
    return {true, {}, {}};
}

// The line the soak runs on.
class SoakLine {
public:
    virtual ~SoakLine() = default;
    virtual PortOpener& opener() = 0;
    virtual Clock& clock() = 0;
    virtual chr::system_clock::time_point wallNow() = 0;
    // The fault for the next reading's reply, or none for a clean reply.
    virtual void inject(const std::optional<FaultRule>& rule) = 0;
    // The words of every reading sent since the last call.
    virtual std::vector<std::vector<TenthDegree>> takeSent() = 0;
    virtual bool expired() { return false; }
};

sim::ModelOptions SoakModel(std::uint64_t seed) {
    sim::ModelOptions options;
    options.seed = seed;
    options.historyCapacity = 16;
    return options;
}

std::vector<std::vector<TenthDegree>> TakeSent(sim::InstrumentModel& model) {
    std::vector<std::vector<TenthDegree>> sent;
    for (const sim::SentReading& reading : model.sentReadings())
        sent.push_back(reading.words);
    model.clearSentReadings();
    return sent;
}

void InjectInto(sim::FaultPlan& plan, const std::optional<FaultRule>& rule) {
    plan.clear();
    if (rule) plan.add(*rule);
}

class VirtualLine final : public SoakLine {
public:
    explicit VirtualLine(std::uint64_t seed)
        : m_model(SoakModel(seed), [this] { return wallNow(); }),
          m_opener(m_model, m_faults, m_clock) {}

    PortOpener& opener() override { return m_opener; }
    Clock& clock() override { return m_clock; }
    chr::system_clock::time_point wallNow() override {
        return chr::system_clock::time_point(kVirtualEpoch) +
               chr::duration_cast<chr::system_clock::duration>(m_clock.now().time_since_epoch());
    }
    void inject(const std::optional<FaultRule>& rule) override { InjectInto(m_faults, rule); }
    std::vector<std::vector<TenthDegree>> takeSent() override { return TakeSent(m_model); }

private:
    ManualClock m_clock;
    sim::FaultPlan m_faults;
    sim::InstrumentModel m_model;
    sim::ModelPortOpener m_opener;
};

class PtyLine final : public SoakLine {
public:
    PtyLine(std::uint64_t seed, const std::filesystem::path& portsDir, chr::seconds duration)
        : m_host(sim::InstrumentModel(SoakModel(seed)), Options(portsDir)),
          m_end(chr::steady_clock::now() + duration) {
        setenv("TAVOLEX_PORTS_DIR", portsDir.c_str(), 1);
        std::string error;
        if (!m_host.start(&error)) {
            std::fprintf(stderr, "soak: the simulator did not start: %s\n", error.c_str());
            std::exit(2);
        }
    }

    PortOpener& opener() override { return m_opener; }
    Clock& clock() override { return SystemClock(); }
    chr::system_clock::time_point wallNow() override { return chr::system_clock::now(); }
    void inject(const std::optional<FaultRule>& rule) override {
        InjectInto(m_host.faults(), rule);
    }
    std::vector<std::vector<TenthDegree>> takeSent() override {
        return m_host.withModel([](sim::InstrumentModel& model) { return TakeSent(model); });
    }
    bool expired() override { return chr::steady_clock::now() >= m_end; }

private:
    static sim::HostOptions Options(const std::filesystem::path& portsDir) {
        sim::HostOptions options;
        options.linkPath = portsDir / "com1";
        return options;
    }

    sim::PtyHost m_host;
    PosixPortOpener m_opener;
    chr::steady_clock::time_point m_end;
};

// The fault of every reading, each kind on its share of them, in random order.
class FaultDeck {
public:
    FaultDeck(std::size_t readings, double share, std::uint64_t seed, int latestMs)
        : m_random(seed), m_latestMs(latestMs) {
        const auto each = static_cast<std::size_t>(share * static_cast<double>(readings));
        m_kinds.assign(readings, 0);
        for (std::size_t kind = 1; kind <= sim::kFaultKinds; ++kind) {
            std::fill_n(m_kinds.begin() + static_cast<std::ptrdiff_t>((kind - 1) * each), each,
                        static_cast<std::uint8_t>(kind));
        }
        std::shuffle(m_kinds.begin(), m_kinds.end(), m_random);
    }

    // 0 for none, else the FaultKind's index plus one.
    std::size_t kindOf(std::size_t reading) const { return m_kinds[reading]; }

    std::optional<FaultRule> ruleFor(std::size_t reading) {
        const std::size_t kind = kindOf(reading);
        if (kind == 0) return std::nullopt;
        FaultRule rule;
        rule.kind = static_cast<FaultKind>(kind - 1);
        rule.code = command::kReadTemperatures;
        rule.count = 1;
        const std::size_t frameSize = kFrameOverhead + 2 * kMaxTemperatureWords;
        switch (rule.kind) {
            case FaultKind::ShortReply:
                rule.bytes = draw(0, frameSize - 1);
                break;
            case FaultKind::SurplusBytes:
                rule.bytes = draw(1, 16);
                break;
            case FaultKind::BadLength:
                // Half of them announce a word count the reader accepts.
                rule.length =
                    static_cast<std::uint16_t>(draw(0, 1) ? draw(8, 137) : draw(0, 0xFFFF));
                break;
            case FaultKind::LateReply:
                rule.delay = chr::milliseconds(draw(100, static_cast<std::size_t>(m_latestMs)));
                break;
            case FaultKind::Silence:
            case FaultKind::WrongChecksum:
                break;
        }
        return rule;
    }

private:
    std::size_t draw(std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(m_random);
    }

    std::vector<std::uint8_t> m_kinds;
    std::mt19937_64 m_random;
    int m_latestMs;
};

// The acquisition loop's window: hands out the settings, checks each reading as it is shown,
// and injects the next reading's fault.
class Checker final : public AcquisitionObserver {
public:
    Checker(const SoakOptions& options, SoakLine& line, FaultDeck& deck, AcquisitionShared& shared,
            SoakReport& report)
        : m_options(options), m_line(line), m_deck(deck), m_shared(shared), m_report(report) {}

    AcquisitionSettings fetchSettings() override { return {1, 9600, 0, kPeriodMs}; }
    void reportOpenFailure() override { problem("the port did not open"); }
    void showResult(bool success, int count) override;

    void start() { inject(0); }
    // Time stamps as the loop takes them for a record and for a log entry.
    std::tm recordTime(std::time_t t) {
        m_recordTime = Utc(t);
        return m_recordTime;
    }
    std::tm logTime() {
        m_logTime = Utc(chr::system_clock::to_time_t(m_line.wallNow()));
        return m_logTime;
    }

private:
    void inject(std::size_t reading) {
        m_rule = m_deck.ruleFor(reading);
        ++m_report.injected[m_deck.kindOf(reading)];
        m_line.inject(m_rule);
    }
    void problem(std::string text) {
        if (m_report.problems.size() < kProblemsKept)
            m_report.problems.push_back("reading " + std::to_string(m_report.readings) + ": " +
                                        text);
    }
    Expected expectationFor(const std::vector<TenthDegree>& words) const;
    void checkDataFile(const Expected& expected, const std::vector<TenthDegree>& words);
    void checkErrorLog(const Expected& expected);

    const SoakOptions& m_options;
    SoakLine& m_line;
    FaultDeck& m_deck;
    AcquisitionShared& m_shared;
    SoakReport& m_report;
    std::optional<FaultRule> m_rule;
    std::tm m_recordTime{};
    std::tm m_logTime{};
    std::size_t m_dataOffset = 0;
    std::size_t m_logOffset = 0;
};

Expected Checker::expectationFor(const std::vector<TenthDegree>& words) const {
    Bytes data;
    for (TenthDegree word : words) {
        data.push_back(word.high());
        data.push_back(word.low());
    }
    std::optional<Bytes> delivered = ReplyFrame(0, command::kReadTemperatures, data);
    if (m_rule) {
        // The sent reply with the same fault, as the simulator's plan made it.
        sim::FaultPlan plan;
        plan.add(*m_rule);
        delivered = plan.apply(command::kReadTemperatures, std::move(*delivered)).reply;
    }
    return ExpectedOutcome(delivered);
}

void Checker::showResult(bool success, int count) {
    const auto sent = m_line.takeSent();
    ++m_report.readings;
    if (sent.size() != 1) {
        problem(std::to_string(sent.size()) + " readings sent for one request");
        m_shared.runFlag = false;
        return;
    }
    const Expected expected = expectationFor(sent.front());
    std::size_t& expectedCount =
        expected.success ? m_report.expectedSuccesses : m_report.expectedFailures;
    ++expectedCount;
    (success ? m_report.successes : m_report.failures) = static_cast<std::size_t>(count);
    if (success != expected.success || static_cast<std::size_t>(count) != expectedCount) {
        problem(std::string(success ? "success" : "failure") + " number " + std::to_string(count) +
                " where the reply makes it " + (expected.success ? "success" : "failure") +
                " number " + std::to_string(expectedCount));
    }
    checkDataFile(expected, sent.front());
    checkErrorLog(expected);

    if (m_report.readings == kRssMark) m_report.rssAfterFirstThousandKb = ResidentKb();
    if (m_options.progress && m_report.readings % kProgressEvery == 0)
        m_options.progress(m_report.readings);
    if (m_report.readings >= m_options.readings || m_line.expired()) {
        m_shared.runFlag = false;
        return;
    }
    inject(m_report.readings);
}

void Checker::checkDataFile(const Expected& expected, const std::vector<TenthDegree>& words) {
    const std::string added = ReadOn(m_shared.dataFileName, m_dataOffset);
    m_report.dataLines += CountOf(added, "\r\n");
    std::string wanted;
    if (expected.success) {
        wanted = ClockText(m_recordTime);
        for (TenthDegree word : words)
            wanted += "\t" + word.text();
        wanted += "\r\n";
    }
    if (added != wanted) {
        ++m_report.dataLinesWrong;
        problem("data file got \"" + added.substr(0, 40) + "\" where \"" + wanted.substr(0, 40) +
                "\" was due");
    }
}

void Checker::checkErrorLog(const Expected& expected) {
    const std::string added = ReadOn(m_options.directory / kErrorLogFileName, m_logOffset);
    m_report.logEntries += CountOf(added, "\r\n");
    std::string wanted;
    if (!expected.success) {
        std::string entry = "\r\n" + ClockText(m_logTime) + " " + std::string(expected.text) +
                            " 字节数:" + std::to_string(expected.logged.size()) + " 数据:";
        char hex[4];
        for (std::uint8_t byte : expected.logged) {
            std::snprintf(hex, sizeof hex, "%02x ", byte);
            entry += hex;
        }
        wanted = Utf8ToGbk(entry);
    }
    if (added != wanted) {
        ++m_report.logEntriesWrong;
        problem("error log got " + std::to_string(added.size()) + " bytes where " +
                std::to_string(wanted.size()) +
                " were due: " + GbkToUtf8(added.substr(0, 60)).value_or("(not GBK)"));
    }
}

}  // namespace

SoakReport RunSoak(const SoakOptions& options) {
    const auto started = chr::steady_clock::now();
    std::filesystem::create_directories(options.directory);
    std::unique_ptr<SoakLine> line;
    if (options.realTime) {
        line =
            std::make_unique<PtyLine>(options.seed, options.directory / "ports", *options.realTime);
    } else {
        line = std::make_unique<VirtualLine>(options.seed);
    }
    FaultDeck deck(options.readings, options.faultShare, options.seed,
                   options.realTime ? kLatestRealMs : kLatestVirtualMs);

    SoakReport report;
    AcquisitionShared shared;
    shared.runFlag = true;
    shared.recordEnabled = true;
    // Every good reading is recorded: readings are a second or more apart.
    shared.recordPeriodSeconds = 0;
    shared.dataFileName = options.directory / "soak-data.txt";
    Checker checker(options, *line, deck, shared, report);

    AcquisitionEnvironment environment(line->opener(), line->clock(),
                                       ErrorLogFile::InDirectory(options.directory));
    environment.errorLog.localTime = [&checker] { return checker.logTime(); };
    environment.wallTime = [&line] { return chr::system_clock::to_time_t(line->wallNow()); };
    environment.localTime = [&checker](std::time_t t) { return checker.recordTime(t); };

    TemperatureReply reply;
    checker.start();
    RunAcquisition(checker, shared, reply, environment);

    report.rssAtEndKb = ResidentKb();
    if (report.readings < kRssMark) report.rssAfterFirstThousandKb = report.rssAtEndKb;
    report.elapsed = chr::steady_clock::now() - started;
    return report;
}

std::string ReportText(const SoakReport& report) {
    std::ostringstream out;
    out << "readings            " << report.readings << "\n";
    out << "injected            none " << report.injected[0];
    for (std::size_t kind = 0; kind < sim::kFaultKinds; ++kind)
        out << ", " << sim::FaultName(static_cast<FaultKind>(kind)) << " "
            << report.injected[kind + 1];
    out << "\n";
    out << "successes           " << report.successes << " (simulator: " << report.expectedSuccesses
        << ")\n";
    out << "failures            " << report.failures << " (simulator: " << report.expectedFailures
        << ")\n";
    out << "data-file lines     " << report.dataLines << ", lost/torn/wrong "
        << report.dataLinesWrong << "\n";
    out << "error-log entries   " << report.logEntries << ", wrong " << report.logEntriesWrong
        << "\n";
    out << "RSS after 1000      " << report.rssAfterFirstThousandKb << " kB, at the end "
        << report.rssAtEndKb << " kB (growth " << report.rssGrowthKb() << " kB)\n";
    out << "time                " << report.elapsed.count() << " s\n";
    for (const std::string& problem : report.problems)
        out << "problem: " << problem << "\n";
    out << (report.passed() ? "PASSED" : "FAILED") << "\n";
    return out.str();
}

}  // namespace tavolex::soak
