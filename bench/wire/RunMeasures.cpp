// The child modes that run continuous acquisition as a user runs it, against an instrument
// that never answers: the window pressing "连续采集", and the client's `log`. Each measures
// its whole process's CPU over ten seconds once the run has settled, then stops the run.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>

#include <unistd.h>

#include "Cli.h"
#include "MainDialog.h"
#include "Measures.h"
#include "ScannerApp.h"
#include "StreamOperator.h"

namespace tavolex::bench {

namespace {

using Steady = std::chrono::steady_clock;

constexpr auto kSettle = std::chrono::milliseconds(1000);
constexpr auto kMeasured = std::chrono::seconds(10);

// The run's error log goes to a folder of its own, not to where the benchmark was started,
// and goes with it.
class TemporaryWorkFolder {
public:
    TemporaryWorkFolder()
        : m_folder(std::filesystem::temp_directory_path() /
                   ("tavolex-bench-run-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(m_folder);
        std::filesystem::current_path(m_folder);
    }
    ~TemporaryWorkFolder() {
        std::error_code error;
        std::filesystem::current_path(m_folder.parent_path(), error);
        std::filesystem::remove_all(m_folder, error);
    }
    TemporaryWorkFolder(const TemporaryWorkFolder&) = delete;
    TemporaryWorkFolder& operator=(const TemporaryWorkFolder&) = delete;

private:
    std::filesystem::path m_folder;
};

struct CpuMark {
    Milliseconds cpu = ProcessCpuTime();
    Steady::time_point wall = Steady::now();

    void printSince() const {
        std::printf("wall_ms=%.1f\ncpu_ms=%.3f\n", Milliseconds(Steady::now() - wall).count(),
                    (ProcessCpuTime() - cpu).count());
        std::fflush(stdout);
    }
};

}  // namespace

int ChildWindowSilentRun(int argc, char** argv) {
    const TemporaryWorkFolder folder;
    QApplication application(argc, argv);
    PosixPortOpener ports;
    std::ostringstream messages;
    StreamOperator person(messages, "tavolex");
    ScannerApp::SetUpLook();
    MainDialog dialog(ports, SystemClock(), person);
    dialog.show();
    // As a user's desktop does; on a display without a window manager nobody else would.
    dialog.activateWindow();
    dialog.control<QLineEdit>(MainDialog::kPeriodEdit)->setText(QStringLiteral("600"));
    QPushButton* run = dialog.control<QPushButton>(MainDialog::kContinuousButton);
    CpuMark mark;
    QTimer::singleShot(kSettle, [&] {
        // As a mouse click does, the press takes the focus: the port field's caret, which
        // blinks while it has the focus, stops.
        run->setFocus(Qt::MouseFocusReason);
        run->click();
        QTimer::singleShot(kSettle, [&] {
            mark = CpuMark();
            QTimer::singleShot(kMeasured, [&] {
                mark.printSince();
                run->click();  // stops; returns once the worker has ended
                application.quit();
            });
        });
    });
    return application.exec();
}

int ChildCliSilentLog() {
    const TemporaryWorkFolder folder;
    std::thread sampler([] {
        std::this_thread::sleep_for(kSettle);
        const CpuMark mark;
        std::this_thread::sleep_for(kMeasured);
        mark.printSince();
        std::raise(SIGINT);  // the client's own stop
    });
    std::ostringstream out, err;
    cli::RunCli({"log", "--period", "600", "--port", "1"}, out, err);
    sampler.join();
    return 0;
}

}  // namespace tavolex::bench
