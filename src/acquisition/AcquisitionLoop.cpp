#include "AcquisitionLoop.h"

#include <chrono>

#include "CsvFile.h"
#include "DataFile.h"
#include "LinkContext.h"
#include "PortOpenFailure.h"
#include "ReadTemperatures.h"
#include "Translate.h"

namespace tavolex {

std::string MinPeriodMessage() {
    return Translate("ContinuousAcquisition", "最小采集周期600ms");
}

std::string RunOpenFailureMessage(PortOpener& ports, const LinkSettings& settings) {
    return OpenFailureMessage(Translate("ContinuousAcquisition", "打开串口失败!"), ports, settings);
}

namespace {

void RecordIfDue(const AcquisitionShared& shared, const TemperatureReply& reply,
                 RecordSchedule& schedule, std::time_t now, const std::tm& local) {
    if (!shared.recordEnabled) return;
    if (!schedule.due(now, shared.recordPeriodSeconds)) return;
    // A record that cannot be written is tried again at the next success.
    if (!AppendRecord(shared.dataFileName, RecordLine(local, reply))) return;
    schedule.recorded(now);
    // The sibling takes exactly the records the data file took.
    if (!shared.csvFileName.empty()) {
        (void)AppendCsvRecord(shared.csvFileName, shared.csvHeading, CsvRecordLine(local, reply));
    }
}

}  // namespace

void RunAcquisition(AcquisitionObserver& observer, AcquisitionShared& shared,
                    TemperatureReply& reply, const AcquisitionEnvironment& environment) {
    const AcquisitionSettings settings = observer.fetchSettings();
    // Stopped while the settings were fetched: the port is not even opened, so a stop never
    // ends in an open-failure message.
    if (!shared.runFlag) return;
    const LinkSettings link{settings.portNumber, settings.baudRate, settings.deviceAddress};
    PortHandle port = environment.ports.open(link, PortProfile::Acquisition);
    if (!port) {
        observer.reportOpenFailure();
        return;
    }
    LinkContext context{
        environment.ports, environment.clock, {}, [&shared] { return !shared.runFlag; }};
    context.stop = environment.stop;
    int successes = 0;
    int failures = 0;
    RecordSchedule schedule;
    while (shared.runFlag) {
        const bool success =
            ReadTemperaturesLogged(*port, link.addressByte(), reply, context, environment.errorLog);
        // A reading that arrived is kept even when a stop came with it; a stop only cuts
        // waits and pauses short, and a reading it cut short says nothing.
        const std::time_t now = environment.wallTime();
        const std::tm local = environment.localTime(now);
        if (success) {
            ++successes;
            RecordIfDue(shared, reply, schedule, now, local);
            observer.readingTaken(true, now, local);
        }
        if (context.stopping()) break;
        if (!success) {
            ++failures;
            observer.readingTaken(false, now, local);
        }
        if (!context.pause(std::chrono::milliseconds(settings.periodMs))) break;
        observer.showResult(success, success ? successes : failures);
    }
    port.reset();
    shared.runFlag = false;
}

}  // namespace tavolex
