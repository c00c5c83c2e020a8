// Continuous acquisition on the fake line: the worker's thread and its hand-over to the
// window's thread, and the "连续采集" button of the main window, driven as a user drives it.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <fstream>
#include <optional>
#include <thread>
#include <tuple>

#include "AcquisitionWorker.h"
#include "ChannelLists.h"
#include "ContinuousAcquisitionControls.h"
#include "Gbk.h"
#include "HandOver.h"
#include "PosixSerialPort.h"
#include "ReadTemperatures.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::Chunk;
using AtNextHandOver = testing::AtHandOver<AcquisitionWorker>;
using testing::FileText;
using testing::RisingTemperatureFrame;

constexpr int kLockedWhileRunning[] = {1061, 1060, 1069, 1068, 1050, 1049, 1074, 1077, 1081, 1082};

// A window that lives on the test's thread and notes what each call saw.
class TestWindow final : public AcquisitionObserver {
public:
    explicit TestWindow(testing::FakeLine& line) : m_line(line) {}

    AcquisitionSettings fetchSettings() override {
        onWindowThread = onWindowThread && QThread::currentThread() == qApp->thread();
        ++settingsFetched;
        return settings;
    }
    void showResult(bool success, int count) override {
        onWindowThread = onWindowThread && QThread::currentThread() == qApp->thread();
        // The worker waits while the window handles a result: it has not sent the next
        // request yet, and the reply it hands over is the one counted.
        results.push_back(
            {m_line.written.size(), success ? worker->reply().word(0).tenths() : -1, count});
        if (results.size() == 3) worker->requestStop();
    }
    void reportOpenFailure() override { ++openFailures; }

    AcquisitionWorker* worker = nullptr;
    AcquisitionSettings settings{3, 9600, 7, 1000};
    bool onWindowThread = true;
    int settingsFetched = 0;
    int openFailures = 0;
    // Per result: the requests sent by then, the first word shown and the count.
    std::vector<std::tuple<std::size_t, int, int>> results;

private:
    testing::FakeLine& m_line;
};

class AcquisitionWorkerTest : public ::testing::Test {
protected:
    // A run started as the window starts one, on the given port and clock.
    std::unique_ptr<AcquisitionWorker> start(PortOpener& opener, Clock& time) {
        environment.emplace(opener, time, ErrorLogFile{});
        shared.runFlag = true;
        auto worker = std::make_unique<AcquisitionWorker>(window, shared, *environment);
        window.worker = worker.get();
        return worker;
    }
    // Stops the run once `reached` holds and returns how long the stop took.
    static std::chrono::steady_clock::duration stopWhen(AcquisitionWorker& worker,
                                                        const std::function<bool()>& reached) {
        while (!reached())
            QCoreApplication::processEvents();
        const auto stopped = std::chrono::steady_clock::now();
        worker.requestStop();
        worker.waitUntilEnded();
        return std::chrono::steady_clock::now() - stopped;
    }

    ManualClock clock;
    testing::FakeLine line{clock};
    testing::FakePortOpener ports{line};
    AcquisitionShared shared;
    std::optional<AcquisitionEnvironment> environment;
    TestWindow window{line};
};

TEST_F(AcquisitionWorkerTest, EveryCallRunsOnTheWindowsThreadWhileTheWorkerWaits) {
    line.responder = [next = 100](ByteView) mutable {
        return std::vector<Chunk>{{0ms, RisingTemperatureFrame(kMinTemperatureWords, next += 100)}};
    };
    start(ports, clock)->waitUntilEnded();
    EXPECT_TRUE(window.onWindowThread);
    EXPECT_EQ(window.settingsFetched, 1);
    EXPECT_EQ(window.results, (decltype(window.results){{1, 200, 1}, {2, 300, 2}, {3, 400, 3}}));
    EXPECT_EQ(line.lastSettings.portNumber, 3);
    EXPECT_EQ(line.written.front()[3], 7);
    EXPECT_FALSE(line.held());
    EXPECT_FALSE(shared.runFlag);
}

// A pseudo-terminal whose far end never answers. Its waits never time out in real time, as
// manual time stands still while a worker sleeps: only a stop can end them.
class SilentLine final : public PortOpener {
public:
    SilentLine() : m_master(posix_openpt(O_RDWR | O_NOCTTY)) {
        grantpt(m_master);
        unlockpt(m_master);
        m_path = ptsname(m_master);
    }
    ~SilentLine() override { ::close(m_master); }
    PortHandle open(const LinkSettings& settings, PortProfile profile) override {
        static const PortSystemCalls endless{PortSystemCalls::Real().read,
                                             PortSystemCalls::Real().write,
                                             PortSystemCalls::Real().queued, EndlessPoll};
        return PosixSerialPort::Open(m_path, settings.baudRate, profile, endless);
    }
    static inline std::atomic<bool> waiting = false;

private:
    static int EndlessPoll(pollfd* fds, nfds_t count, int timeoutMs) {
        if (timeoutMs == 0) return ::poll(fds, count, 0);
        waiting = true;
        return ::poll(fds, count, -1);
    }

    int m_master;
    std::string m_path;
};

// A stop wakes the worker at once from a minute's pause on the real clock, and from a wait on a
// silent line before its time-out.
TEST_F(AcquisitionWorkerTest, AStopEndsALongPauseOrAWaitOnASilentLineAtOnce) {
    std::atomic<bool> answered = false;
    line.responder = [&answered](ByteView) {
        answered = true;
        return std::vector<Chunk>{{0ms, RisingTemperatureFrame(kMinTemperatureWords, 5)}};
    };
    window.settings.periodMs = 60'000;
    EXPECT_LT(stopWhen(*start(ports, SystemClock()), [&] { return answered.load(); }), 5s);
    EXPECT_FALSE(line.held());

    SilentLine silent;
    stopWhen(*start(silent, clock), [] { return SilentLine::waiting.load(); });
    EXPECT_LT(clock.elapsed(), std::chrono::milliseconds(kTemperatureWaitMs));
    EXPECT_TRUE(window.results.empty());
}

TEST_F(AcquisitionWorkerTest, DestroyedBeforeItsFirstCallWasServedItEndsWithoutOpeningThePort) {
    start(ports, clock).reset();
    EXPECT_EQ(window.settingsFetched, 1);
    EXPECT_EQ(line.opens, 0);
    EXPECT_EQ(window.openFailures, 0);
}

QString AccessibleName(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

class ContinuousAcquisitionTest : public testing::MainDialogFixture {
protected:
    ContinuousAcquisitionTest() {
        window.continuousAcquisition().ownerlessMessage = [this](std::string_view text) {
            ownerless.emplace_back(text);
        };
        line.responder = [](ByteView) {
            return std::vector<Chunk>{{0ms, RisingTemperatureFrame(40, 250)}};
        };
    }

    void press() { click(1010); }
    QString buttonText() { return control<QPushButton>(1010)->text(); }
    QString label(int id) { return control<QLabel>(id)->text(); }
    bool waitForCounts(int successes, int failures = 0) {
        return QTest::qWaitFor(
            [&] { return label(1012).toInt() >= successes && label(1013).toInt() >= failures; });
    }
    // Whether the run's controls are all locked, or all free.
    bool runControlsLocked(bool locked) {
        return std::ranges::all_of(kLockedWhileRunning,
                                   [&](int id) { return enabled(id) != locked; });
    }
    // Ends the window the way closing it does, which waits for the worker; only then may the
    // test look at the fake line again.
    void close() { window.done(QDialog::Rejected); }

    std::vector<std::string> ownerless;
};

TEST_F(ContinuousAcquisitionTest, APeriodBelow600IsRefusedAndSetTo600WhetherStartingOrStopping) {
    type(1011, "599");
    press();
    EXPECT_EQ(person.messages, std::vector<std::string>{"最小采集周期600ms"});
    EXPECT_EQ(edit(1011)->text(), "600");
    EXPECT_FALSE(window.acquiring());

    press();
    EXPECT_TRUE(window.acquiring());
    EXPECT_EQ(buttonText(), "取消采集");
    EXPECT_TRUE(runControlsLocked(true));
    ASSERT_TRUE(waitForCounts(2));

    type(1011, "599");
    press();
    EXPECT_EQ(person.messages.size(), 2u);
    EXPECT_EQ(edit(1011)->text(), "600");
    EXPECT_TRUE(window.acquiring());
    ASSERT_TRUE(waitForCounts(4));

    // Stopped while the worker hands over its next result, which must not bring the counters
    // back: the click lands just before the window serves that hand-over.
    AtNextHandOver stopper(1, [this] { control<QPushButton>(1010)->click(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return stopper.fired(); }));
    EXPECT_FALSE(window.acquiring());
    EXPECT_EQ(buttonText(), "连续采集");
    EXPECT_TRUE(runControlsLocked(false));
    QTest::qWait(20);
    EXPECT_EQ(label(1012) + label(1013), "");
    close();
    EXPECT_FALSE(line.held());
    EXPECT_EQ(line.lastProfile, PortProfile::Acquisition);
    EXPECT_EQ(person.messages.size(), 2u);
}

// Assistive tools hear the caption and the counts the screen shows.
TEST_F(ContinuousAcquisitionTest, ResultsShowCountsAndListsButLeaveWhatIsBeingTypedAlone) {
    // Every third reply is corrupt.
    line.responder = [n = 0](ByteView) mutable {
        Bytes frame = RisingTemperatureFrame(40, 250);
        if (++n % 3 == 0) frame.back() ^= 1;
        return std::vector<Chunk>{{0ms, frame}};
    };
    QWidget* button = control<QWidget>(1010);
    EXPECT_EQ(AccessibleName(control<QWidget>(1012)), "成功次数");
    press();
    EXPECT_EQ(AccessibleName(button), "取消采集");
    ASSERT_TRUE(waitForCounts(1));
    type(1002, "5");
    ASSERT_TRUE(waitForCounts(4, 2));
    EXPECT_EQ(edit(1002)->text(), "5");
    EXPECT_EQ(
        control<QTableWidget>(MainDialog::kHighChannelList)->item(3, kTemperatureColumn)->text(),
        "28.9");
    // Inside a hand-over, so that the counts do not move while they are read.
    AtNextHandOver look(1, [&] {
        EXPECT_EQ(AccessibleName(control<QWidget>(1012)), "成功次数 " + label(1012));
        EXPECT_EQ(AccessibleName(control<QWidget>(1013)), "失败次数 " + label(1013));
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return look.fired(); }));
    close();
    EXPECT_EQ(AccessibleName(button), "连续采集");
    EXPECT_EQ(label(1012), "");
    EXPECT_EQ(AccessibleName(control<QWidget>(1013)), "失败次数");
    EXPECT_FALSE(line.held());
    // Failures went to the error log; nothing was recorded with the record option off.
    EXPECT_EQ(directory.files(), std::vector<std::filesystem::path>{"QRNA_log.txt"});
    EXPECT_NE(FileText(directory.path() / "QRNA_log.txt").find(Utf8ToGbk("校验错误，")),
              std::string::npos);
}

TEST_F(ContinuousAcquisitionTest, APortThatDoesNotOpenIsToldOnceWithoutOwnerAndTheRunStaysOn) {
    line.refuseOpen = true;
    line.failureReason = "串口7不存在。";
    type(1000, "7");
    press();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ownerless.empty(); }));
    EXPECT_EQ(line.reasonAskedFor.portNumber, 7);
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(buttonText(), "取消采集");
    press();
    EXPECT_FALSE(window.acquiring());
    close();
    EXPECT_EQ(ownerless, std::vector<std::string>{"打开串口失败!\n串口7不存在。"});
}

// The file run is refused while the run holds the port; its end must not free the controls the
// run still holds.
TEST_F(ContinuousAcquisitionTest, ARunRecordsWhenTheMenusRecordOptionsAreOnAndKeepsItsControls) {
    QAction& options = window.continuousAcquisition().recordOptionsAction();
    const auto optionsShown = [this] {
        return !control<QWidget>(1061)->isHidden() && !control<QWidget>(1060)->isHidden();
    };
    EXPECT_FALSE(optionsShown());
    options.trigger();
    EXPECT_TRUE(optionsShown());

    control<QCheckBox>(1061)->setChecked(true);
    press();
    ASSERT_TRUE(waitForCounts(2));
    std::ofstream(directory.path() / "probes.txt") << "02:05:28-FF-64-1E-0F-00-00-9A\n";
    person.chosenFile = directory.path() / "probes.txt";
    click(MainDialog::kFileRegisterButton);
    EXPECT_EQ(person.messages, std::vector<std::string>{"第1行注册失败错误,该行无注册,程序退出!"});
    EXPECT_TRUE(runControlsLocked(true));
    EXPECT_TRUE(enabled(1010) && enabled(1009));
    press();
    EXPECT_TRUE(runControlsLocked(false));
    close();
    std::filesystem::remove(directory.path() / "probes.txt");
    auto files = directory.files();
    std::ranges::sort(files);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].extension(), ".csv");
    EXPECT_EQ(files[0].stem(), files[1].stem());
    EXPECT_TRUE(files[1].string().ends_with("秒.txt"));
    // The first success of a run is always recorded; the rest wait out the 30 s period.
    const std::string text = FileText(directory.path() / files[1]);
    EXPECT_EQ(std::ranges::count(text, '\n'), 1);
    EXPECT_NE(text.find("\t25.0\t25.1\t25.2"), std::string::npos);

    options.trigger();
    EXPECT_TRUE(control<QWidget>(1061)->isHidden() && control<QWidget>(1060)->isHidden());
}

// A second close that arrives while the first waits for the worker to end (the wait serves
// the window's events) must neither free the worker under the first nor wait forever.
TEST_F(ContinuousAcquisitionTest, ACloseArrivingWhileAStopIsAwaitedEndsTheWindowOnce) {
    std::atomic<bool> inExchange = false;
    std::atomic<bool> released = false;
    line.responder = [&](ByteView) {
        inExchange = true;
        while (!released)
            std::this_thread::yield();
        return std::vector<Chunk>{{0ms, RisingTemperatureFrame(40, 250)}};
    };
    press();
    ASSERT_TRUE(QTest::qWaitFor([&] { return inExchange.load(); }));
    // Served, in this order, by the first close's wait: a second close, then the instrument's
    // answer, which lets the worker see the stop.
    QMetaObject::invokeMethod(
        &window, [this] { close(); }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        &window, [&] { released = true; }, Qt::QueuedConnection);
    close();
    EXPECT_TRUE(released);
    EXPECT_EQ(buttonText(), "连续采集");
    EXPECT_FALSE(line.held());
    EXPECT_TRUE(runControlsLocked(false));
}

}  // namespace
}  // namespace tavolex
