#include <unistd.h>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>

#include "WindowWait.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;

class WindowWaitTest : public ::testing::Test {
protected:
    WindowWaitTest() { EXPECT_EQ(::pipe(m_pipe), 0); }
    ~WindowWaitTest() override {
        ::close(m_pipe[0]);
        ::close(m_pipe[1]);
    }
    int readEnd() const { return m_pipe[0]; }
    void sendByte() {
        const char byte = 1;
        ASSERT_EQ(::write(m_pipe[1], &byte, 1), 1);
    }

private:
    int m_pipe[2] = {-1, -1};
};

TEST_F(WindowWaitTest, InputEndsTheWait) {
    QElapsedTimer timer;
    timer.start();
    QTimer::singleShot(20, [this] { sendByte(); });
    WaitKeepingWindowPainted(readEnd(), 60s);
    // Far below the wait's own time: only the input can have ended it.
    EXPECT_LT(timer.elapsed(), 30'000);
}

// Without input the wait goes on, and the window paints and its timers run meanwhile.
TEST_F(WindowWaitTest, TheWindowPaintsAndItsTimersRunMeanwhile) {
    class PaintCounter final : public QObject {
    public:
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++paints;
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
    WaitKeepingWindowPainted(readEnd(), 300ms);
    EXPECT_GE(ticks, 2);
    EXPECT_GE(counter.paints, 1);
}

}  // namespace
}  // namespace tavolex
