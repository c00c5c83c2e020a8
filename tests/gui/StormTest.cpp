// Storms on the real port against the simulated instrument: continuous acquisition started and
// stopped at random moments, and windows closed in the middle of a run, of a download and of a
// traced exchange. Every press and every close comes back promptly, nothing crashes or
// deadlocks, every descriptor and thread is released, and the port opens afterwards.
// TAVOLEX_STORM_SCALE (percent, default 30) sets the size: 100 gives 1000 start/stop pairs and
// 100 closes of each kind.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QThreadPool>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>

#include "ContinuousAcquisitionControls.h"
#include "HandOver.h"
#include "Pt100Dialog.h"
#include "RecordDownloadWorker.h"
#include "RecordsDialog.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using AtHandOver = testing::AtHandOver<RecordDownloadWorker>;

// The entries of a folder once they are back to `expected`, or after a second: a thread that has
// been joined may take a moment more to leave the process's list.
std::size_t Entries(const char* folder, std::size_t expected = 0) {
    const auto count = [folder] {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                      std::filesystem::directory_iterator()));
    };
    for (int i = 0; i < 100 && expected != 0 && count() != expected; ++i)
        QTest::qWait(10);
    return count();
}

// The names of the process's threads, to tell which one outlived its run.
std::string ThreadNames() {
    std::string names;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        names += name + " ";
    }
    return names;
}

int Scaled(int full) {
    const char* scale = std::getenv("TAVOLEX_STORM_SCALE");
    return std::max(1, full * (scale ? std::atoi(scale) : 30) / 100);
}

class StormTest : public testing::SimulatorTest {
protected:
    void SetUp() override {
        SimulatorTest::SetUp();
        startSimulator();
        // Some readings fail, so that purges and error-log entries are part of the mix.
        host->faults().add(*sim::FaultRule::Parse("checksum:0x0B:p=0.3"));
        host->withModel([](sim::InstrumentModel& model) { model.preloadRecords(40); });
        // Whatever the toolkit opens once for good is open before counting.
        std::unique_ptr<MainDialog> window = makeWindow();
        press(*window);
        QTest::qWait(700);
        press(*window);
        window.reset();
        QCoreApplication::processEvents();
        // The toolkit's own pool keeps idle threads for a while after some widgets used it;
        // they are not ours to count.
        QThreadPool::globalInstance()->waitForDone();
        m_descriptors = Entries("/proc/self/fd");
        m_threads = Entries("/proc/self/task");
    }
    void TearDown() override {
        QCoreApplication::processEvents();
        QThreadPool::globalInstance()->waitForDone();
        // A stop wakes a worker at once, so no press or close waits for a pause or a time-out.
        EXPECT_LT(slowest, 2s);
        EXPECT_TRUE(ownerless.empty()) << ownerless.front();
        // Nothing held the port on: it opens again, and no descriptor or thread is left.
        EXPECT_NE(open(PortProfile::Acquisition), nullptr);
        EXPECT_EQ(Entries("/proc/self/fd", m_descriptors), m_descriptors);
        // At most as many threads as before: a thread of the warm-up that was still on its way
        // out when they were counted may be gone by now.
        EXPECT_LE(Entries("/proc/self/task", m_threads), m_threads) << ThreadNames();
        RecordProperty("slowest_press_or_close_us",
                       static_cast<int>(
                           std::chrono::duration_cast<std::chrono::microseconds>(slowest).count()));
        SimulatorTest::TearDown();
    }

    std::unique_ptr<MainDialog> makeWindow() {
        auto window = std::make_unique<MainDialog>(opener, SystemClock(), person);
        window->continuousAcquisition().ownerlessMessage = [this](std::string_view text) {
            ownerless.emplace_back(text);
        };
        return window;
    }
    int draw(int low, int high) { return std::uniform_int_distribution(low, high)(random); }
    // Lets a worker get somewhere: nowhere yet, fetching its settings, opening the port,
    // reading, pausing, or handing over a result.
    void letItRun() {
        const int steps = draw(0, 12);
        for (int i = 0; i < steps; ++i) {
            if (i % 4 == 3) {
                QTest::qWait(1);
            } else {
                QCoreApplication::processEvents();
            }
        }
    }
    // Runs the action and keeps how long it took to come back if that is the longest yet.
    void timed(const std::function<void()>& action) {
        const auto start = std::chrono::steady_clock::now();
        action();
        slowest = std::max(slowest, std::chrono::steady_clock::now() - start);
    }
    void press(MainDialog& window) {
        timed([&window] {
            QTest::mouseClick(window.control<QPushButton>(MainDialog::kContinuousButton),
                              Qt::LeftButton);
        });
    }
    testing::TemporaryWorkingDirectory directory{"storm"};
    testing::RecordingOperator person;
    std::vector<std::string> ownerless;
    std::mt19937 random{20261206};
    std::chrono::steady_clock::duration slowest{};

private:
    std::size_t m_descriptors = 0;
    std::size_t m_threads = 0;
};

TEST_F(StormTest, StartsAndStopsAtRandomMoments) {
    std::unique_ptr<MainDialog> window = makeWindow();
    window->control<QLineEdit>(MainDialog::kPeriodEdit)->setText("600");
    const int pairs = Scaled(1000);
    for (int i = 0; i < pairs; ++i) {
        press(*window);
        ASSERT_TRUE(window->acquiring());
        letItRun();
        // Now and then past a pause, so that a result is being handed over.
        if (i % 30 == 29) QTest::qWait(draw(600, 700));
        press(*window);
        ASSERT_FALSE(window->acquiring());
    }
}

TEST_F(StormTest, WindowsClosedMidRun) {
    for (int i = 0, closes = Scaled(100); i < closes; ++i) {
        std::unique_ptr<MainDialog> window = makeWindow();
        press(*window);
        letItRun();
        timed([&] {
            // Half close the way the operator does, half go away without closing first.
            if (i % 2 == 0) {
                window->done(QDialog::Rejected);
                EXPECT_FALSE(window->acquiring());
            }
            window.reset();
        });
    }
}

TEST_F(StormTest, RecordsWindowsClosedMidDownload) {
    std::unique_ptr<MainDialog> window = makeWindow();
    for (int i = 0, closes = Scaled(100); i < closes; ++i) {
        const auto open = [&window] {
            QTest::mouseClick(window->control<QPushButton>(MainDialog::kViewRecordsButton),
                              Qt::LeftButton);
        };
        EXPECT_TRUE(testing::WithModal<RecordsDialog>(open, [&](RecordsDialog& records) {
            const AtHandOver close(draw(1, 30), [&] { timed([&records] { records.close(); }); });
            QTest::mouseClick(records.control<QPushButton>(RecordsDialog::kDownloadButton),
                              Qt::LeftButton);
        }));
        ASSERT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST_F(StormTest, Pt100WindowsClosedMidTrace) {
    std::unique_ptr<MainDialog> window = makeWindow();
    for (int i = 0, closes = Scaled(100); i < closes; ++i) {
        const auto open = [&window] { window->pt100Action().trigger(); };
        EXPECT_TRUE(testing::WithModal<Pt100Dialog>(open, [&](Pt100Dialog& pt100) {
            // The close comes while the exchange pauses or waits, with its trace half written.
            QTimer::singleShot(draw(0, 60), &pt100, [&pt100] { pt100.reject(); });
            const int button =
                i % 2 ? Pt100Dialog::kTemperaturesButton : Pt100Dialog::kReadParametersButton;
            QTest::mouseClick(pt100.control<QPushButton>(button), Qt::LeftButton);
        }));
        ASSERT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(window->traceTarget(), nullptr);
    }
}

}  // namespace
}  // namespace tavolex
