// The acquisition worker's thread and its hand-over to the window's thread, on the fake line.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <atomic>

#include "AcquisitionWorker.h"
#include "Commands.h"
#include "FakeLine.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::Chunk;
using testing::FakeLine;
using testing::FakePortOpener;
using testing::ManualClock;

Bytes TemperatureFrame(int tenths) {
    Bytes data;
    for (int i = 0; i < kMinTemperatureWords; ++i) {
        const TenthDegree word = TenthDegree::FromTenths(tenths + i);
        data.push_back(word.high());
        data.push_back(word.low());
    }
    return ReplyFrame(0, command::kReadTemperatures, data);
}

// A window that lives on the test's thread and notes what each call saw.
class TestWindow final : public AcquisitionWindow {
public:
    explicit TestWindow(FakeLine& line) : m_line(line) {}

    AcquisitionSettings fetchSettings() override {
        onWindowThread = onWindowThread && QThread::currentThread() == qApp->thread();
        ++settingsFetched;
        return settings;
    }
    void showResult(bool success, int count) override {
        onWindowThread = onWindowThread && QThread::currentThread() == qApp->thread();
        // The worker waits while the window handles a result: it has not sent the next
        // request yet, and the reply it hands over is the one counted.
        requestsSeen.push_back(m_line.written.size());
        shownWords.push_back(success ? worker->reply().word(0).tenths() : -1);
        counts.push_back(count);
        if (counts.size() == stopAfter) worker->requestStop();
    }
    void reportOpenFailure() override { ++openFailures; }

    AcquisitionWorker* worker = nullptr;
    AcquisitionSettings settings{3, 9600, 7, 1000};
    std::size_t stopAfter = 3;
    bool onWindowThread = true;
    int settingsFetched = 0;
    int openFailures = 0;
    std::vector<std::size_t> requestsSeen;
    std::vector<int> shownWords;
    std::vector<int> counts;

private:
    FakeLine& m_line;
};

class AcquisitionWorkerTest : public ::testing::Test {
protected:
    ManualClock clock;
    FakeLine line{clock};
    FakePortOpener ports{line};
    AcquisitionShared shared;
    AcquisitionEnvironment environment{ports, clock, {}};
    TestWindow window{line};
};

TEST_F(AcquisitionWorkerTest, EveryCallRunsOnTheWindowsThreadWhileTheWorkerWaits) {
    int next = 100;
    line.responder = [&next](ByteView) {
        return std::vector<Chunk>{{0ms, TemperatureFrame(next += 100)}};
    };
    shared.runFlag = true;
    AcquisitionWorker worker(window, shared, environment);
    window.worker = &worker;
    worker.waitUntilEnded();

    EXPECT_TRUE(window.onWindowThread);
    EXPECT_EQ(window.settingsFetched, 1);
    EXPECT_EQ(window.counts, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(window.shownWords, (std::vector<int>{200, 300, 400}));
    EXPECT_EQ(window.requestsSeen, (std::vector<std::size_t>{1, 2, 3}));
    EXPECT_EQ(line.lastSettings.portNumber, 3);
    EXPECT_EQ(line.written.front()[3], 7);
    EXPECT_FALSE(line.held());
    EXPECT_TRUE(worker.ended());
    EXPECT_FALSE(shared.runFlag);
}

TEST_F(AcquisitionWorkerTest, AStopEndsALongPauseOnTheRealClockAtOnce) {
    std::atomic<bool> answered = false;
    line.responder = [&answered](ByteView) {
        answered = true;
        return std::vector<Chunk>{{0ms, TemperatureFrame(5)}};
    };
    window.settings.periodMs = 60'000;
    const AcquisitionEnvironment realTime{ports, SystemClock(), {}};
    shared.runFlag = true;
    AcquisitionWorker worker(window, shared, realTime);
    window.worker = &worker;
    while (!answered)
        QCoreApplication::processEvents();
    const auto stopped = std::chrono::steady_clock::now();
    worker.requestStop();
    worker.waitUntilEnded();
    // Far below the minute the pause would have lasted.
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 5s);
    EXPECT_TRUE(window.counts.empty());
    EXPECT_FALSE(line.held());
}

TEST_F(AcquisitionWorkerTest, DestroyedBeforeItsFirstCallWasServedItEndsWithoutOpeningThePort) {
    shared.runFlag = true;
    {
        AcquisitionWorker worker(window, shared, environment);
        window.worker = &worker;
    }
    EXPECT_EQ(window.settingsFetched, 1);
    EXPECT_EQ(line.opens, 0);
    EXPECT_EQ(window.openFailures, 0);
}

}  // namespace
}  // namespace tavolex
