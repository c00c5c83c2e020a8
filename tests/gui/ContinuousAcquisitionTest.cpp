// Continuous acquisition: the worker's thread and its hand-over to the window's thread, and the
// "连续采集" button on the fake line and on the real port against the simulated instrument.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

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
#include <thread>

#include "AcquisitionWorker.h"
#include "ChannelLists.h"
#include "ContinuousAcquisitionControls.h"
#include "Gbk.h"
#include "HandOver.h"
#include "PosixSerialPort.h"
#include "ReadTemperatures.h"
#include "TrendMonitor.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::Chunk;
using AtNextHandOver = testing::AtHandOver<AcquisitionWorker>;
using testing::FileText;
using testing::RisingTemperatureFrame;
using D = MainDialog;

constexpr int kLockedWhileRunning[] = {1061, 1060, 1069, 1068, 1050, 1049, 1074, 1077, 1081, 1082};

// A window that lives on the test's thread and notes what each call saw.
struct TestWindow final : AcquisitionObserver {
    explicit TestWindow(testing::FakeLine& fake) : line(fake) {}
    AcquisitionSettings fetchSettings() override {
        onWindowThread = onWindowThread && QThread::currentThread() == qApp->thread();
        ++settingsFetched;
        return settings;
    }
    void showResult(bool success, int count) override {
        onWindowThread = onWindowThread && QThread::currentThread() == qApp->thread();
        // The worker waits meanwhile: no next request yet, and its reply is the one counted.
        results.push_back(
            {line.written.size(), success ? worker->reply().word(0).tenths() : -1, count});
        if (results.size() == 3) worker->requestStop();
    }
    void reportOpenFailure() override { ++openFailures; }

    testing::FakeLine& line;
    AcquisitionWorker* worker = nullptr;
    AcquisitionSettings settings{3, 9600, 7, 1000};
    bool onWindowThread = true;
    int settingsFetched = 0, openFailures = 0;
    // Per result: the requests sent by then, the first word shown and the count.
    std::vector<std::tuple<std::size_t, int, int>> results;
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
        worker.requestStop(), worker.waitUntilEnded();
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
    EXPECT_TRUE(window.onWindowThread && window.settingsFetched == 1);
    EXPECT_EQ(window.results, (decltype(window.results){{1, 200, 1}, {2, 300, 2}, {3, 400, 3}}));
    EXPECT_EQ(std::tuple(line.lastSettings.portNumber, line.written.front()[3]), std::tuple(3, 7));
    EXPECT_FALSE(line.held() || shared.runFlag);
}

// A pseudo-terminal that never answers, whose waits only a stop can end.
struct SilentLine final : PortOpener {
    SilentLine() { path = (grantpt(master), unlockpt(master), ptsname(master)); }
    ~SilentLine() override { ::close(master); }
    PortHandle open(const LinkSettings& settings, PortProfile profile) override {
        static const PortSystemCalls endless{
            PortSystemCalls::Real().read, PortSystemCalls::Real().write,
            PortSystemCalls::Real().queued, [](pollfd* fds, nfds_t count, int timeoutMs) {
                if (timeoutMs != 0) waiting = true;
                return ::poll(fds, count, timeoutMs == 0 ? 0 : -1);
            }};
        return PosixSerialPort::Open(path, settings.baudRate, profile, endless);
    }
    static inline std::atomic<bool> waiting = false;
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    std::string path;
};

// A stop wakes the worker at once from a minute's pause on the real clock, and from a wait on a
// silent line before its time-out; a worker destroyed before its first call opens no port.
TEST_F(AcquisitionWorkerTest, AStopEndsALongPauseOrAWaitOnASilentLineAtOnce) {
    start(ports, clock).reset();
    EXPECT_EQ(std::tuple(window.settingsFetched, line.opens, window.openFailures),
              std::tuple(1, 0, 0));
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

QString AccessibleName(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

class ContinuousAcquisitionTest : public testing::MainDialogFixture {
protected:
    ContinuousAcquisitionTest() {
        window.continuousAcquisition().ownerlessMessage = [this](auto t) {
            ownerless.emplace_back(t);
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
    // Ends the window as closing it does, waiting for the worker; only then is the line free.
    void close() { window.done(QDialog::Rejected); }

    std::vector<std::string> ownerless;
};

TEST_F(ContinuousAcquisitionTest, APeriodBelow600IsRefusedAndSetTo600WhetherStartingOrStopping) {
    type(1011, "599");
    press();
    EXPECT_EQ(person.messages, testing::Messages{"最小采集周期600ms"});
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

    // Stopped just before the window serves the next hand-over, whose result must not show.
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
    line.responder = [n = 0](ByteView) mutable {
        Bytes frame = RisingTemperatureFrame(40, 250);
        if (++n % 3 == 0) frame.back() ^= 1;  // every third reply is corrupt
        return std::vector<Chunk>{{0ms, frame}};
    };
    QWidget* button = control<QWidget>(1010);
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
    EXPECT_FALSE(line.held());
    // Failures went to the error log; nothing was recorded with the record option off.
    EXPECT_EQ(directory.files(), std::vector<std::filesystem::path>{"QRNA_log.txt"});
    EXPECT_NE(FileText(directory.path() / "QRNA_log.txt").find(Utf8ToGbk("校验错误，")),
              std::string::npos);
}

// The run stays on without the port; the offset buttons stay locked and refuse all the same.
TEST_F(ContinuousAcquisitionTest, APortThatDoesNotOpenIsToldOnceWithoutOwnerAndTheRunStaysOn) {
    line.refuseOpen = true;
    line.failureReason = "串口7不存在。";
    type(1000, "7");
    press();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ownerless.empty(); }));
    EXPECT_EQ(line.reasonAskedFor.portNumber, 7);
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(buttonText(), "取消采集");
    line.refuseOpen = false;  // the window's own port would open now: the run alone refuses
    for (int id : {D::kReadOffsetsButton, D::kSetOffsetButton}) {
        EXPECT_FALSE(enabled(id));
        emit control<QPushButton>(id)->clicked();  // as a click queued before the lock
    }
    EXPECT_EQ(person.messages, testing::Messages(2, "请先取消当前采集!"));
    EXPECT_FALSE(line.held());
    press();
    EXPECT_FALSE(window.acquiring());
    close();
    EXPECT_TRUE(line.written.empty());
    EXPECT_EQ(ownerless, testing::Messages{"打开串口失败!\n串口7不存在。"});
}

// The file run is refused meanwhile, and its end must not free the run's controls.
TEST_F(ContinuousAcquisitionTest, ARunRecordsWhenTheMenusRecordOptionsAreOnAndKeepsItsControls) {
    QAction& options = window.continuousAcquisition().recordOptionsAction();
    const auto hidden = [this] {
        return std::pair(control<QWidget>(1061)->isHidden(), control<QWidget>(1060)->isHidden());
    };
    EXPECT_EQ(hidden(), std::pair(true, true));
    options.trigger();
    EXPECT_EQ(hidden(), std::pair(false, false));

    control<QCheckBox>(1061)->setChecked(true);
    press();
    ASSERT_TRUE(waitForCounts(2));
    std::ofstream(directory.path() / "probes.txt") << "02:05:28-FF-64-1E-0F-00-00-9A\n";
    person.chosenFile = directory.path() / "probes.txt";
    click(MainDialog::kFileRegisterButton);
    EXPECT_EQ(person.messages, testing::Messages{"第1行注册失败错误,该行无注册,程序退出!"});
    EXPECT_TRUE(runControlsLocked(true));
    EXPECT_TRUE(enabled(1010) && enabled(1009));
    press();
    EXPECT_TRUE(runControlsLocked(false));
    close();
    EXPECT_EQ(directory.files().size(), 3u);  // the data file, its CSV, the probes file

    options.trigger();
    EXPECT_EQ(hidden(), std::pair(true, true));
}

// The second close must neither free the worker under the first nor wait forever.
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
    // Served by the first close's wait: a second close, then the answer that ends the worker.
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

// A clock that moves only when the worker pauses on it, shared with the simulator's thread.
class SteppingClock final : public Clock {
public:
    TimePoint now() override { return TimePoint{} + Duration(m_ticks.load()); }
    void sleepFor(Duration duration) override { m_ticks += duration.count(); }
    Duration elapsed() const { return Duration(m_ticks.load()); }

private:
    std::atomic<Duration::rep> m_ticks{0};
};

// The lines of a file, each without its CR.
QStringList Lines(const std::filesystem::path& file) {
    return QString::fromStdString(FileText(file)).remove('\r').split('\n', Qt::SkipEmptyParts);
}

using ContinuousAcquisitionE2eTest = testing::MainDialogSimulatorTest;

// Half a minute of instrument time at the shortest period, as fast as the line allows, with the
// first two readings corrupted; how the lines are written is the record files' own test's.
TEST_F(ContinuousAcquisitionE2eTest, HalfAMinuteRecordsWhatTheInstrumentSentAndLogsItsFaults) {
    SteppingClock clock;
    startSimulator();
    host->faults().add(*sim::FaultRule::Parse("checksum:0x0B:count=2"));
    MainDialog run{opener, clock, person};
    const std::time_t start = std::time(nullptr);
    run.continuousAcquisition().wallTime = [&clock, start] {
        return start + std::chrono::duration_cast<std::chrono::seconds>(clock.elapsed()).count();
    };
    run.continuousAcquisition().recordOptionsAction().trigger();
    testing::DriverOf<MainDialog> ui(run);
    ui.control<QCheckBox>(D::kSaveLogCheck)->setChecked(true);
    ui.edit(D::kRecordPeriodEdit)->setText("0");
    ui.edit(D::kPeriodEdit)->setText("600");
    ui.click(D::kContinuousButton);
    const auto count = [&ui](int label) { return ui.control<QLabel>(label)->text().toInt(); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(D::kSuccessCountLabel) >= 50; }, 60'000));
    EXPECT_EQ(count(D::kFailureCountLabel), 2);
    run.done(QDialog::Rejected);
    ASSERT_TRUE(person.messages.empty()) << person.messages.front();

    std::vector<QStringList> intact;
    host->withModel([&intact](sim::InstrumentModel& model) {
        for (const sim::SentReading& reading : model.sentReadings()) {
            if (!reading.faults.empty()) continue;
            QStringList& words = intact.emplace_back();
            for (const TenthDegree& word : reading.words)
                words << QString::fromStdString(word.text());
        }
    });
    // The intact readings shown went to the trend too.
    const std::int64_t shown = run.trend().statistics().of(4).count;
    EXPECT_GE(shown, 50);
    EXPECT_LE(static_cast<std::size_t>(shown), intact.size());
    std::filesystem::path txtFile;
    for (const auto& name : directory.files())
        if (name != "QRNA_log.txt" && name.extension() == ".txt") txtFile = directory.path() / name;
    const QStringList txt = Lines(txtFile);
    ASSERT_GE(txt.size(), 25);  // a record per second
    EXPECT_EQ(Lines(txtFile.replace_extension(".csv")).size(), txt.size() + 1);
    // Each line is an intact reading after the one before, the first one always.
    std::size_t next = 0;
    for (qsizetype i = 0; i < txt.size(); ++i) {
        const QStringList values = txt[i].split('\t').mid(1);  // after the time
        while (next < intact.size() && intact[next] != values)
            ++next;
        ASSERT_LT(next++, intact.size()) << "line " << i << " matches no reading after the last";
        EXPECT_TRUE(i > 0 || next == 1) << "the first intact reading was not recorded";
    }
    const QByteArray log = QByteArray::fromStdString(FileText(directory.path() / "QRNA_log.txt"));
    EXPECT_EQ(log.count(Utf8ToGbk("校验错误，").c_str()), 2);
}

}  // namespace
}  // namespace tavolex
