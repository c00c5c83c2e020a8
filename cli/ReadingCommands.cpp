// One reading of every channel, and continuous acquisition until stopped.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>

#include "AcquisitionLoop.h"
#include "Channels.h"
#include "Commands.h"
#include "CsvFile.h"
#include "DataFile.h"
#include "ErrorLog.h"
#include "PortOpenFailure.h"
#include "ReadTemperatures.h"
#include "StopRequest.h"
#include "StopSignals.h"
#include "Translate.h"
#ifdef TAVOLEX_SITE_OUTPUTS
#include "SiteOptions.h"
#endif

namespace tavolex::cli {

namespace {

namespace fs = std::filesystem;
using SteadyTime = std::chrono::steady_clock::time_point;

constexpr int kDefaultRecordSeconds = 30;
constexpr std::chrono::seconds kCountsEvery{5};

std::string IsoTime(const std::tm& time) {
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", time.tm_year + 1900,
                  time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
    return text;
}

// The time and the channels of a reading: those the reply carries, or all of them (empty
// where the reply carries none) so that every row of a run has the same fields.
Row ReadingRow(const std::tm& time, const TemperatureReply& reply, bool allChannels) {
    Row row{{"time", IsoTime(time), false}};
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const std::optional<int> tenths = ChannelTenths(reply, channel);
        if (!tenths && !allChannels) continue;
        row.push_back(
            {ChannelKey(channel), tenths ? reply.word(channel).text() : std::string(), true});
    }
    return row;
}

// The acquisition loop's window: the settings from the options, each reading printed, the
// counts on the message stream now and then, and the end of a run of --count readings or of
// --duration seconds.
class LogWindow final : public AcquisitionObserver {
public:
    LogWindow(Session& session, AcquisitionShared& shared, const TemperatureReply& reply,
              std::int32_t periodMs)
        : m_session(session),
          m_shared(shared),
          m_reply(reply),
          m_periodMs(periodMs),
          m_output(session.out, session.format),
          m_start(std::chrono::steady_clock::now()),
          m_lastCounts(m_start) {}

    std::optional<long> readingLimit;
    std::optional<std::chrono::seconds> timeLimit;

    AcquisitionSettings fetchSettings() override {
        const LinkSettings& link = m_session.settings;
        return {link.portNumber, link.baudRate, link.deviceAddress, m_periodMs};
    }

    void showResult(bool success, int) override {
        if (success) {
            ++m_successes;
            m_output.write(ReadingRow(LocalTimeNow(), m_reply, true));
        } else {
            ++m_failures;
        }
        const SteadyTime now = std::chrono::steady_clock::now();
        if (now - m_lastCounts >= kCountsEvery) {
            printCounts();
            m_lastCounts = now;
        }
        if ((readingLimit && m_successes + m_failures >= *readingLimit) ||
            (timeLimit && now - m_start >= *timeLimit)) {
            m_shared.runFlag = false;
        }
    }

#ifdef TAVOLEX_SITE_OUTPUTS
    SiteOutputs* outputs = nullptr;

    void readingTaken(bool success, std::time_t wallTime, const std::tm& local) override {
        if (!outputs) return;
        if (success) {
            outputs->reading(wallTime, local, m_reply);
        } else {
            outputs->failedReading();
        }
    }
#endif

    void reportOpenFailure() override {
        m_openFailed = true;
        m_session.person.message(RunOpenFailureMessage(m_session.watch, m_session.settings));
    }

    void printCounts() const {
        m_session.err << Substitute(Translate("Cli", "成功次数:%1 失败次数:%2"),
                                    {std::to_string(m_successes), std::to_string(m_failures)})
                      << '\n'
                      << std::flush;
    }
    bool openFailed() const {
        return m_openFailed;
    }
    long successes() const {
        return m_successes;
    }
    long failures() const {
        return m_failures;
    }

private:
    Session& m_session;
    AcquisitionShared& m_shared;
    const TemperatureReply& m_reply;
    std::int32_t m_periodMs;
    DataOutput m_output;
    SteadyTime m_start;
    SteadyTime m_lastCounts;
    long m_successes = 0;
    long m_failures = 0;
    bool m_openFailed = false;
};

// A positive whole number option, or none when it is not given; false on a bad value.
// A whole number of at least `least` from the option, when it is given; false for another text.
bool NumberOption(const Session& session, std::string_view name, long least,
                  std::optional<long>& value) {
    const std::optional<std::string> text = session.args.option(name);
    if (!text) return true;
    const std::optional<std::int32_t> number = WholeNumber(*text);
    if (!number || *number < least) return false;
    value = *number;
    return true;
}

}  // namespace

int ReadOnce(Session& session) {
    OperationContext context = session.operation();
    const Outcome<TemperatureReply> reading = ReadTemperaturesOnce(context);
    if (!reading) return ExitStatus(reading.kind);
    DataOutput(session.out, session.format, true)
        .write(ReadingRow(LocalTimeNow(), *reading, false));
    return kExitSuccess;
}

int LogContinuously(Session& session) {
    const auto period = WholeNumber(session.args.option("period").value_or(""));
    if (!period) return session.usage(Translate("Cli", "log needs --period MS"));
    if (*period < kMinAcquisitionPeriodMs) {
        session.person.message(MinPeriodMessage());
        return kExitUsage;
    }
    std::optional<long> count;
    std::optional<long> seconds;
    std::optional<long> recordSeconds;
    if (!NumberOption(session, "count", 1, count) ||
        !NumberOption(session, "duration", 1, seconds)) {
        return session.usage(
            Translate("Cli", "--count and --duration need a whole number above 0"));
    }
    // 0 records every reading in a second of its own, as the window's record period 0 does.
    if (!NumberOption(session, "record", 0, recordSeconds)) {
        return session.usage(
            Translate("Cli", "--record needs a whole number of seconds, 0 or more"));
    }
    if (count && seconds)
        return session.usage(Translate("Cli", "give either --count or --duration"));

    AcquisitionShared shared;
    const bool recording = session.args.has("txt") || session.args.has("csv") || recordSeconds;
    const fs::path directory = session.args.option("txt").value_or(".");
    if (recording) {
        std::error_code error;
        fs::create_directories(directory, error);
        if (!fs::is_directory(directory)) {
            return session.usage(
                Substitute(Translate("Cli", "cannot make the folder '%1'"), {directory.string()}));
        }
        shared.recordEnabled = true;
        shared.recordPeriodSeconds =
            static_cast<int>(recordSeconds.value_or(kDefaultRecordSeconds));
        shared.dataFileName = DataFileName(directory, LocalTimeNow());
        shared.csvFileName =
            session.args.option("csv").value_or(CsvBesideDataFile(shared.dataFileName).string());
        std::vector<std::string> labels;
        for (int channel = 0; channel < kChannelCount; ++channel)
            labels.push_back(ChannelCaption(channel));
        shared.csvHeading = CsvHeading(labels);
    }
#ifdef TAVOLEX_SITE_OUTPUTS
    int status = kExitSuccess;
    const std::unique_ptr<SiteOutputs> outputs = StartSiteOutputs(session, status);
    if (status != kExitSuccess) return status;
#endif
    shared.runFlag = true;

    StopRequest stop;
    StopSignals signals([&shared, &stop] {
        shared.runFlag = false;
        stop.request();
    });
    AcquisitionEnvironment environment(session.watch, session.link.clock,
                                       ErrorLogFile::InDirectory(directory));
    environment.stop = &stop;
    TemperatureReply reply;
    LogWindow window(session, shared, reply, *period);
    window.readingLimit = count;
    if (seconds) window.timeLimit = std::chrono::seconds(*seconds);
#ifdef TAVOLEX_SITE_OUTPUTS
    window.outputs = outputs.get();
    if (outputs) {
        environment.errorLog.onEntry = [&outputs](const std::tm& time, std::string_view message,
                                                  std::string_view entry) {
            outputs->failure(time, message, entry);
        };
    }
#endif
    RunAcquisition(window, shared, reply, environment);

    if (window.openFailed()) return kExitNoPort;
    window.printCounts();
#ifdef TAVOLEX_SITE_OUTPUTS
    if (const std::uint64_t dropped = outputs ? outputs->close() : 0; dropped > 0) {
        session.err << Substitute(Translate("Cli", "MQTT messages dropped: %1"),
                                  {std::to_string(dropped)})
                    << '\n';
    }
#endif
    return window.successes() == 0 && window.failures() > 0 ? kExitFailed : kExitSuccess;
}

}  // namespace tavolex::cli
