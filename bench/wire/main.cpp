// wire_bench: how far the program stays from the line's own limit. Runs every measurement
// against the simulated instrument pacing its bytes at the line's rate and prints one table.
// Run: build/release/bin/wire_bench [--exchanges N] [--only GROUP] (scripts/bench builds and
// runs it).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "Commands.h"
#include "Measures.h"

extern char** environ;

namespace tavolex::bench {
namespace {

using namespace std::chrono_literals;

constexpr double kCpuTargetPercent = 0.3;
constexpr double kRunCpuTargetPercent = 0.1;
constexpr double kStartTargetMs = 300;
constexpr double kMemoryTargetMb = 60;
constexpr double kPaintGapTargetMs = 50;
constexpr double kCadenceTargetMs = 2;
constexpr int kCadencePeriodMs = 600;
constexpr std::size_t kReadingBytes = 9 + 145;
constexpr int kStarts = 5;

// Where a child runs its window: the platform and, for X, the display.
struct Platform {
    std::string name;     // offscreen or xcb
    std::string display;  // for xcb
    std::string label() const { return name == "xcb" ? "Xvfb" : name; }
};

struct ChildRun {
    long long spawnedNs = 0;
    ChildFigures figures;
    bool ok = false;
};

// Runs this program again in `mode`, with the window platform set, and collects what it
// prints.
ChildRun RunChild(const std::string& mode, const Platform& platform) {
    ChildRun run;
    int out[2];
    if (pipe(out) != 0) return run;
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view text = *entry;
        if (text.rfind("QT_QPA_PLATFORM=", 0) == 0 || text.rfind("DISPLAY=", 0) == 0) continue;
        env.emplace_back(text);
    }
    env.push_back("QT_QPA_PLATFORM=" + platform.name);
    if (!platform.display.empty()) env.push_back("DISPLAY=" + platform.display);
    std::vector<char*> envp;
    for (std::string& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string child = "--child";
    std::string modeArg = mode;
    char* argv[] = {self.data(), child.data(), modeArg.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = 0;
    run.spawnedNs = SteadyNanoseconds();
    const int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
    if (spawned != 0) return run;
    int status = 0;
    waitpid(pid, &status, 0);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const auto equals = line.find('=');
        if (equals != std::string::npos)
            run.figures[line.substr(0, equals)] = line.substr(equals + 1);
    }
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

double Figure(const ChildRun& run, const std::string& key) {
    const auto found = run.figures.find(key);
    return run.ok && found != run.figures.end() ? std::atof(found->second.c_str()) : NAN;
}

// An X server of our own for the window's runs under X; none when Xvfb is missing.
class VirtualDisplay {
public:
    VirtualDisplay() {
        const int number = 90 + getpid() % 100;
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        std::string program = "Xvfb";
        std::string display = ":" + std::to_string(number);
        std::string screen = "-screen", geometry = "0", depth = "1280x1024x24";
        std::string noTcp = "-nolisten", tcp = "tcp";
        char* argv[] = {program.data(), display.data(), screen.data(), geometry.data(),
                        depth.data(),   noTcp.data(),   tcp.data(),    nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            m_pid = 0;
            return;
        }
        for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
            std::this_thread::sleep_for(50ms);
        if (std::filesystem::exists(socket)) m_display = display;
    }
    ~VirtualDisplay() {
        if (m_pid == 0) return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    const std::string& display() const { return m_display; }

private:
    pid_t m_pid = 0;
    std::string m_display;
};

// The simulated instrument, silent to one command.
SimulatedLine::Options SilentTo(std::uint8_t code) {
    sim::FaultRule silence;
    silence.kind = sim::FaultKind::Silence;
    silence.code = code;
    SimulatedLine::Options options;
    options.faults.push_back(silence);
    return options;
}

Row CpuRow(const std::string& measured, const ChildRun& run, double targetPercent) {
    const double cpu = Figure(run, "cpu_ms");
    const double wall = Figure(run, "wall_ms");
    const double percent = 100 * cpu / wall;
    Row row;
    row.measured = measured;
    row.limit = "0 % of a core";
    row.ours = Format("%.3f %% of a core", percent) + Format(" (%.1f ms", cpu) +
               Format(" in %.0f ms)", wall);
    row.ratio = "-";
    row.target = Format("<= %.1f %%", targetPercent);
    if (!std::isnan(percent)) row.met = percent <= targetPercent;
    return row;
}

Row CpuRow(const std::string& what, const ChildRun& run) {
    return CpuRow("CPU during a 10 s wait for a silent instrument, " + what, run,
                  kCpuTargetPercent);
}

// Continuous acquisition as the user runs it, the whole process, against a silent instrument.
std::vector<Row> MeasureSilentRuns(const std::vector<Platform>& platforms) {
    SimulatedLine line(SilentTo(command::kReadTemperatures));
    const std::string what = "CPU of continuous acquisition, silent instrument, 10 s, ";
    std::vector<Row> rows;
    for (const Platform& platform : platforms) {
        rows.push_back(CpuRow(what + "the window (" + platform.label() + ")",
                              RunChild("window-silent-run", platform), kRunCpuTargetPercent));
    }
    rows.push_back(CpuRow(what + "the client's log", RunChild("cli-silent-log", {"offscreen", ""}),
                          kRunCpuTargetPercent));
    return rows;
}

std::vector<Row> MeasureCpu(const std::vector<Platform>& platforms) {
    SimulatedLine line(SilentTo(command::kRegisterFullyAutomatic));
    std::vector<Row> rows;
    rows.push_back(CpuRow("the link alone", RunChild("link-wait", {"offscreen", ""})));
    for (const Platform& platform : platforms)
        rows.push_back(
            CpuRow("the window (" + platform.label() + ")", RunChild("window-wait", platform)));
    return rows;
}

std::vector<Row> MeasureWindow(const std::vector<Platform>& platforms) {
    std::vector<Row> rows;
    for (const Platform& platform : platforms) {
        std::vector<double> starts, memory;
        for (int i = 0; i < kStarts; ++i) {
            const ChildRun run = RunChild("window-start", platform);
            starts.push_back((Figure(run, "painted_ns") - run.spawnedNs) / 1e6);
            memory.push_back(Figure(run, "rss_mb"));
        }
        const double start = Percentile(starts, 0.5);
        const double rss = Percentile(memory, 0.5);
        Row startRow{
            "Start to first paint (" + platform.label() + Format(", median of %.0f)", kStarts),
            "-",
            Format("%.1f ms", start),
            "-",
            Format("<= %.0f ms", kStartTargetMs),
            std::nullopt};
        if (!std::isnan(start)) startRow.met = start <= kStartTargetMs;
        Row memoryRow{"Resident memory after start (" + platform.label() + ")",
                      "-",
                      Format("%.1f MB", rss),
                      "-",
                      Format("<= %.0f MB", kMemoryTargetMb),
                      std::nullopt};
        if (!std::isnan(rss)) memoryRow.met = rss <= kMemoryTargetMb;
        rows.push_back(startRow);
        rows.push_back(memoryRow);
    }
    SimulatedLine line(SilentTo(command::kReadTemperatures));
    for (const Platform& platform : platforms) {
        const ChildRun run = RunChild("window-gaps", platform);
        const double gap = Figure(run, "longest_gap_ms");
        Row row{
            "Longest gap between paints, reading a silent instrument (" + platform.label() + ")",
            Format("%.0f ms (repaint asked every", 10) + " 10 ms)",
            Format("%.1f ms", gap) + Format(" in %.0f ms", Figure(run, "wall_ms")),
            "-",
            Format("<= %.0f ms", kPaintGapTargetMs),
            std::nullopt};
        if (!std::isnan(gap)) row.met = gap <= kPaintGapTargetMs;
        rows.push_back(row);
    }
    return rows;
}

Row MeasureCadence() {
    SimulatedLine line({});
    const ChildRun run = RunChild("window-cadence", {"offscreen", ""});
    const double limit = WireTime(kReadingBytes, 9600).count() + kCadencePeriodMs;
    std::vector<double> extra;
    const auto found = run.figures.find("cycles_ms");
    if (found != run.figures.end()) {
        std::istringstream cycles(found->second);
        for (std::string cycle; std::getline(cycles, cycle, ',');)
            extra.push_back(std::atof(cycle.c_str()) - limit);
    }
    const double median = Percentile(extra, 0.5);
    const double longest = extra.empty() ? NAN : extra.back();
    Row row;
    row.measured = Format("Continuous acquisition, 600 ms period, %.0f cycles", extra.size()) +
                   " (median; longest in brackets)";
    row.limit = Format("%.2f ms (wire + period)", limit);
    row.ours = Format("%.2f ms", limit + median) + Format(" (+%.3f ms;", median) +
               Format(" +%.3f ms)", longest);
    row.ratio = Format("%.4f", (limit + median) / limit);
    row.target = Format("+<= %.0f ms", kCadenceTargetMs);
    if (!std::isnan(median)) row.met = median <= kCadenceTargetMs;
    return row;
}

constexpr const char* kGroups = "exchanges|cpu|download|worker|cadence|window|publish";

int RunChildMode(std::string_view mode, int argc, char** argv) {
    if (mode == "link-wait") return ChildLinkWait();
    if (mode == "window-wait") return ChildWindowWait(argc, argv);
    if (mode == "window-start") return ChildWindowStart(argc, argv);
    if (mode == "window-gaps") return ChildWindowPaintGaps(argc, argv);
    if (mode == "window-cadence") return ChildWindowCadence(argc, argv);
    if (mode == "window-silent-run") return ChildWindowSilentRun(argc, argv);
    if (mode == "cli-silent-log") return ChildCliSilentLog();
    std::fprintf(stderr, "wire_bench: no child mode %.*s\n", static_cast<int>(mode.size()),
                 mode.data());
    return 2;
}

}  // namespace
}  // namespace tavolex::bench

int main(int argc, char** argv) {
    using namespace tavolex::bench;
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) return RunChildMode(argv[2], 1, argv);
    int exchanges = 200;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--exchanges") == 0 && i + 1 < argc) {
            exchanges = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
            only = argv[++i];
        } else {
            std::fprintf(stderr, "usage: wire_bench [--exchanges N] [--only %s]\n", kGroups);
            return 2;
        }
    }
    const auto wanted = [&only](const char* group) { return only.empty() || only == group; };
    // The simulator's pseudo-terminal must not outlive a broken pipe.
    signal(SIGPIPE, SIG_IGN);

    std::optional<VirtualDisplay> display;
    if (wanted("cpu") || wanted("window") || wanted("worker")) display.emplace();
    std::vector<Platform> platforms{{"offscreen", ""}};
    if (display && !display->display().empty()) platforms.push_back({"xcb", display->display()});

    std::vector<Row> rows;
    const auto add = [&rows](std::vector<Row> more) {
        rows.insert(rows.end(), more.begin(), more.end());
    };
    if (wanted("exchanges")) {
        for (int baud : {9600, 38400})
            add(MeasureExchanges(baud, exchanges));
    }
    if (wanted("cpu")) add(MeasureCpu(platforms));
    if (wanted("download")) add(MeasureDownload());
    if (wanted("worker")) {
        add(MeasureWorker());
        add(MeasureSilentRuns(platforms));
    }
    if (wanted("cadence")) rows.push_back(MeasureCadence());
    if (wanted("window")) add(MeasureWindow(platforms));
    if (wanted("publish")) add(MeasurePublishing());
    PrintTable(rows);
    return 0;
}
