// The child modes that run the main window: each makes its QApplication on the platform that
// QT_QPA_PLATFORM names, does one thing and prints its figures.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <vector>

#include "Commands.h"
#include "MainDialog.h"
#include "Measures.h"
#include "ScannerApp.h"
#include "StreamOperator.h"
#include "Transact.h"

namespace tavolex::bench {

namespace {

using Steady = std::chrono::steady_clock;

// Long enough for the window to be shown, laid out and painted before a measurement starts.
constexpr int kSettleMs = 300;
// How often the paint-gap run asks the window to repaint: faster than any gap worth seeing.
constexpr int kRepaintEveryMs = 10;
constexpr int kCadenceReadings = 16;

// Notes when `watched` paints, while switched on.
class PaintWatch final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && on) paints.push_back(Steady::now());
        return QObject::eventFilter(watched, event);
    }
    bool on = false;
    std::vector<Steady::time_point> paints;
};

// The main window as the program makes it, with messages going to `messages` (standard error
// unless a measure expects them).
struct Window {
    explicit Window(PortOpener& ports, std::ostream& messages = std::cerr)
        : person(messages, "tavolex"), dialog(ports, SystemClock(), person) {
        ScannerApp::SetUpLook();
        dialog.show();
    }
    template <class Control>
    Control* control(int id) {
        return dialog.findChild<Control*>(QString::number(id));
    }

    StreamOperator person;
    MainDialog dialog;
};

}  // namespace

int ChildWindowWait(int argc, char** argv) {
    QApplication application(argc, argv);
    PosixPortOpener ports;
    Window window(ports);
    QTimer::singleShot(kSettleMs, [&] {
        const Milliseconds cpu = ProcessCpuTime();
        const auto start = Steady::now();
        const TransactResult reply =
            Transact(window.dialog, window.dialog.link(), 0, {}, command::kRegisterFullyAutomatic);
        std::printf("wall_ms=%.1f\ncpu_ms=%.3f\ncount=%d\n",
                    Milliseconds(Steady::now() - start).count(), (ProcessCpuTime() - cpu).count(),
                    reply.count);
        application.quit();
    });
    return application.exec();
}

int ChildWindowStart(int argc, char** argv) {
    QApplication application(argc, argv);
    PosixPortOpener ports;
    ScannerApp app(ports, SystemClock());

    // The first paint of the main window ends the start; the window then closes itself.
    class FirstPaint final : public QObject {
    public:
        bool eventFilter(QObject* watched, QEvent* event) override {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (!m_seen && event->type() == QEvent::Paint && widget &&
                qobject_cast<MainDialog*>(widget->window())) {
                m_seen = true;
                auto* dialog = qobject_cast<QDialog*>(widget->window());
                // Queued behind the paint, so the time includes painting the whole window.
                QTimer::singleShot(0,
                                   [] { std::printf("painted_ns=%lld\n", SteadyNanoseconds()); });
                QTimer::singleShot(kSettleMs, dialog, [dialog] {
                    std::printf("rss_mb=%.1f\n", ResidentMegabytes());
                    dialog->reject();
                });
            }
            return QObject::eventFilter(watched, event);
        }

    private:
        bool m_seen = false;
    } firstPaint;
    application.installEventFilter(&firstPaint);
    const int status = app.run({});
    std::fflush(stdout);
    return status;
}

int ChildWindowPaintGaps(int argc, char** argv) {
    QApplication application(argc, argv);
    PosixPortOpener ports;
    // The silent instrument's "返回数据错误!" is the expected end of the reading measured.
    std::ostringstream expected;
    Window window(ports, expected);
    PaintWatch watch;
    window.dialog.installEventFilter(&watch);
    QTimer repaint;
    repaint.setTimerType(Qt::PreciseTimer);
    QObject::connect(&repaint, &QTimer::timeout, &window.dialog, [&] { window.dialog.update(); });
    repaint.start(kRepaintEveryMs);
    QTimer::singleShot(kSettleMs, [&] {
        watch.on = true;
        const auto start = Steady::now();
        window.control<QPushButton>(MainDialog::kAcquireButton)->click();
        const auto end = Steady::now();
        watch.on = false;
        Milliseconds longest{0};
        auto last = start;
        for (const auto paint : watch.paints) {
            longest = std::max<Milliseconds>(longest, paint - last);
            last = paint;
        }
        longest = std::max<Milliseconds>(longest, end - last);
        std::printf("wall_ms=%.1f\npaints=%zu\nlongest_gap_ms=%.2f\n",
                    Milliseconds(end - start).count(), watch.paints.size(), longest.count());
        application.quit();
    });
    return application.exec();
}

int ChildWindowCadence(int argc, char** argv) {
    QApplication application(argc, argv);
    TimedPortOpener ports;
    Window window(ports);
    window.control<QLineEdit>(MainDialog::kPeriodEdit)->setText(QStringLiteral("600"));
    QPushButton* button = window.control<QPushButton>(MainDialog::kContinuousButton);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (ports.writes().size() <= kCadenceReadings) return;
        watch.stop();
        button->click();  // stop; returns once the worker has ended
        const auto writes = ports.writes();
        std::printf("cycles_ms=");
        for (std::size_t i = 1; i < writes.size(); ++i)
            std::printf("%s%.3f", i > 1 ? "," : "",
                        Milliseconds(writes[i] - writes[i - 1]).count());
        std::printf("\n");
        application.quit();
    });
    QTimer::singleShot(kSettleMs, [&] {
        button->click();
        watch.start(50);
    });
    return application.exec();
}

}  // namespace tavolex::bench
