// Waiting for the line keeps the window alive: it paints and its timers run until input ends
// the wait.
#include <unistd.h>

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "WindowWait.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;

TEST(WindowWaitTest, TheWindowPaintsAndTicksUntilInputEndsTheWait) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    class PaintCounter final : public QObject {
    public:
        bool eventFilter(QObject* watched, QEvent* event) override {
            paints += event->type() == QEvent::Paint ? 1 : 0;
            return QObject::eventFilter(watched, event);
        }
        int paints = 0;
    } counter;
    QWidget window;
    window.resize(200, 100);
    window.show();
    window.installEventFilter(&counter);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        window.update();
    });
    ticker.start(10);
    QTimer::singleShot(300, [&] { ASSERT_EQ(::write(pipeEnds[1], "", 1), 1); });
    QElapsedTimer timer;
    timer.start();
    WaitKeepingWindowPainted(pipeEnds[0], 60s);
    // Far below the wait's own time: only the input can have ended it.
    EXPECT_LT(timer.elapsed(), 30'000);
    EXPECT_GE(ticks, 2);
    EXPECT_GE(counter.paints, 1);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

}  // namespace
}  // namespace tavolex
