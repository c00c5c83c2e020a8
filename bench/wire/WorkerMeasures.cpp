// The acquisition worker's sleep: continuous acquisition against an instrument that never
// answers (a bare pseudo-terminal that nobody reads), run as the worker runs it, with its stop
// request; what the run costs the processor, and how soon a stop ends it.
#include <fcntl.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <thread>

#include "AcquisitionLoop.h"
#include "Measures.h"
#include "SystemPorts.h"

namespace tavolex::bench {

namespace {

constexpr std::chrono::seconds kSilentRun{10};
constexpr double kWorkerCpuTargetPercent = 0.1;
constexpr double kStopTargetMs = 5;
constexpr int kStopSamples = 20;

Milliseconds ThreadCpuTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return Milliseconds(static_cast<double>(now.tv_sec) * 1e3 +
                        static_cast<double>(now.tv_nsec) / 1e6);
}

// Port 1 is the slave side of a pseudo-terminal whose master nobody reads.
class SilentOpener final : public PortOpener {
public:
    SilentOpener() : m_master(posix_openpt(O_RDWR | O_NOCTTY)) {
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) return;
        m_path = ptsname(m_master);
    }
    ~SilentOpener() override {
        if (m_master >= 0) ::close(m_master);
    }
    PortHandle open(const LinkSettings& settings, PortProfile profile) override {
        return m_path.empty() ? nullptr : OpenSerialDevice(m_path, settings.baudRate, profile);
    }

private:
    int m_master;
    std::string m_path;
};

// The window as the loop sees it: the acquire button's defaults, nothing shown.
class QuietWindow final : public AcquisitionObserver {
public:
    AcquisitionSettings fetchSettings() override { return {}; }
    void showResult(bool, int) override {}
    void reportOpenFailure() override { failed = true; }
    std::atomic<bool> failed = false;
};

struct SilentRun {
    Milliseconds cpu{0};
    Milliseconds stopToEnd{0};
    bool ok = false;
};

// Runs acquisition for `length`, then asks it to stop as the worker's stop does.
SilentRun RunSilent(Clock::Duration length) {
    SilentOpener opener;
    QuietWindow window;
    AcquisitionShared shared;
    shared.runFlag = true;
    StopRequest stop;
    AcquisitionEnvironment environment(opener, SystemClock(), {});
    environment.stop = &stop;
    TemperatureReply reply;
    SilentRun run;
    std::atomic<long long> endedNs = 0;
    std::thread worker([&] {
        const Milliseconds start = ThreadCpuTime();
        RunAcquisition(window, shared, reply, environment);
        run.cpu = ThreadCpuTime() - start;
        endedNs = SteadyNanoseconds();
    });
    std::this_thread::sleep_for(length);
    const long long stoppedNs = SteadyNanoseconds();
    shared.runFlag = false;
    stop.request();
    worker.join();
    run.stopToEnd = Milliseconds(static_cast<double>(endedNs - stoppedNs) / 1e6);
    run.ok = !window.failed;
    return run;
}

}  // namespace

std::vector<Row> MeasureWorker() {
    const SilentRun longRun = RunSilent(kSilentRun);
    Row cpuRow;
    cpuRow.measured = "CPU of continuous acquisition, silent instrument, 10 s (the worker)";
    cpuRow.limit = "0 % of a core";
    cpuRow.ratio = "-";
    cpuRow.target = Format("<= %.1f %%", kWorkerCpuTargetPercent);
    const double percent =
        100 * longRun.cpu.count() / std::chrono::duration<double, std::milli>(kSilentRun).count();
    cpuRow.ours = Format("%.3f %% of a core", percent) + Format(" (%.1f ms)", longRun.cpu.count());
    if (longRun.ok) cpuRow.met = percent <= kWorkerCpuTargetPercent;

    // Stops at moments spread over the wait for a reply and the pause between readings.
    std::vector<double> stops{longRun.stopToEnd.count()};
    bool ok = longRun.ok;
    for (int i = 0; i < kStopSamples; ++i) {
        const SilentRun run = RunSilent(std::chrono::milliseconds(20 + 53 * i));
        stops.push_back(run.stopToEnd.count());
        ok = ok && run.ok;
    }
    const double worst = *std::max_element(stops.begin(), stops.end());
    Row stopRow;
    stopRow.measured = Format("Stop request to the worker's end, worst of %.0f", stops.size());
    stopRow.limit = "0 ms";
    stopRow.ours = Format("%.3f ms", worst) + Format(" (median %.3f ms)", Percentile(stops, 0.5));
    stopRow.ratio = "-";
    stopRow.target = Format("<= %.0f ms", kStopTargetMs);
    if (ok) stopRow.met = worst <= kStopTargetMs;
    return {cpuRow, stopRow};
}

}  // namespace tavolex::bench
