// The continuous-acquisition worker's loop: read all temperatures again and again on a port it
// holds for the whole run, hand each result to the window, count successes and failures, and
// append a record to the data file at most once per record period.
#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "Clock.h"
#include "ErrorLog.h"
#include "SerialPort.h"
#include "StopRequest.h"
#include "TemperatureReply.h"

namespace tavolex {

inline constexpr int kMinAcquisitionPeriodMs = 600;

// What the operator is told of a period below the minimum.
std::string MinPeriodMessage();
// What the operator is told when a run's port does not open, with the reason.
std::string RunOpenFailureMessage(PortOpener& ports, const LinkSettings& settings);

struct AcquisitionSettings {
    std::int32_t portNumber = 1;
    std::int32_t baudRate = 9600;
    std::int32_t deviceAddress = 0;
    std::int32_t periodMs = 1000;
};

// State the window shares with a running worker.
struct AcquisitionShared {
    std::atomic<bool> runFlag{false};
    std::atomic<bool> recordEnabled{false};
    std::atomic<int> recordPeriodSeconds{30};
    // Set before the worker starts and left alone until it has ended.
    std::filesystem::path dataFileName;
    // The comma-separated sibling and its heading line, set and left alone likewise; an empty
    // name writes no sibling.
    std::filesystem::path csvFileName;
    std::string csvHeading;
};

// What the worker asks of its window. Each call returns only after the window has handled
// it, so the window reads the reply buffer while the worker waits.
class AcquisitionObserver {
public:
    virtual ~AcquisitionObserver() = default;
    virtual AcquisitionSettings fetchSettings() = 0;
    // `count` is the success count after a success, the failure count after a failure.
    virtual void showResult(bool success, int count) = 0;
    virtual void reportOpenFailure() = 0;
    // Told at once of every reading that counts, before the pause and before showResult: with
    // the wall time and local time its data-file record carries when one is due.
    virtual void readingTaken(bool /*success*/, std::time_t /*wallTime*/,
                              const std::tm& /*local*/) {}
};

struct AcquisitionEnvironment {
    AcquisitionEnvironment(PortOpener& portOpener, Clock& timeSource, ErrorLogFile log)
        : ports(portOpener), clock(timeSource), errorLog(std::move(log)) {}

    PortOpener& ports;
    Clock& clock;
    ErrorLogFile errorLog;
    // A worker's stop request, which wakes the run's waits and pauses; whoever clears
    // shared.runFlag during a wait makes the request too.
    const StopRequest* stop = nullptr;
    std::function<std::time_t()> wallTime = [] { return std::time(nullptr); };
    std::function<std::tm(std::time_t)> localTime = [](std::time_t t) {
        std::tm local{};
        localtime_r(&t, &local);
        return local;
    };
};

// Runs until shared.runFlag is cleared; a stop cuts the current wait or pause short, and a
// reading or pause cut short is neither counted nor reported. A reading that arrived before
// the stop still writes its record when one is due. Clears runFlag at the end.
void RunAcquisition(AcquisitionObserver& observer, AcquisitionShared& shared,
                    TemperatureReply& reply, const AcquisitionEnvironment& environment);

}  // namespace tavolex
