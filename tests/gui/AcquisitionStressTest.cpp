// Continuous acquisition started and stopped hundreds of times at random moments, and windows
// closed in the middle of runs, on the real port against the simulated instrument: every
// press and every close comes back, the port and every descriptor are released.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <memory>
#include <random>

#include "ContinuousAcquisition.h"
#include "MainDialog.h"
#include "RecordingOperator.h"
#include "SimulatorFixture.h"
#include "TemporaryDirectory.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;

std::size_t OpenDescriptors() {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                      std::filesystem::directory_iterator()));
}

class AcquisitionStressTest : public testing::SimulatorTest {
protected:
    void SetUp() override {
        SimulatorTest::SetUp();
        startSimulator();
        // Some readings fail, so that purges and error-log entries are part of the mix.
        host->faults().add(*sim::FaultRule::Parse("checksum:0x0B:p=0.3"));
    }

    std::unique_ptr<MainDialog> makeWindow() {
        auto window = std::make_unique<MainDialog>(opener, SystemClock(), person);
        window->continuousAcquisition().ownerlessMessage = [this](std::string_view text) {
            ownerless.emplace_back(text);
        };
        return window;
    }
    // Lets the worker get somewhere: nowhere yet, fetching its settings, opening the port,
    // reading, pausing, or handing over a result.
    void letItRun() {
        const int steps = std::uniform_int_distribution(0, 12)(random);
        for (int i = 0; i < steps; ++i) {
            if (i % 4 == 3) {
                QTest::qWait(1);
            } else {
                QCoreApplication::processEvents();
            }
        }
    }
    // Presses the button and returns how long the press took to come back.
    std::chrono::steady_clock::duration press(MainDialog& window) {
        const auto start = std::chrono::steady_clock::now();
        QTest::mouseClick(window.control<QPushButton>(MainDialog::kContinuousButton),
                          Qt::LeftButton);
        return std::chrono::steady_clock::now() - start;
    }

    testing::TemporaryWorkingDirectory directory{"acquisition-stress"};
    testing::RecordingOperator person;
    std::vector<std::string> ownerless;
    std::mt19937 random{20261206};
};

TEST_F(AcquisitionStressTest, HundredsOfStartsAndStopsAndClosesMidRunLeaveNothingBehind) {
    {
        // Whatever the toolkit opens once for good is open before counting.
        std::unique_ptr<MainDialog> window = makeWindow();
        press(*window);
        QTest::qWait(700);
        press(*window);
    }
    const std::size_t descriptors = OpenDescriptors();
    std::chrono::steady_clock::duration slowest{};
    {
        std::unique_ptr<MainDialog> window = makeWindow();
        window->control<QLineEdit>(MainDialog::kPeriodEdit)->setText("600");
        for (int i = 0; i < 300; ++i) {
            slowest = std::max(slowest, press(*window));
            ASSERT_TRUE(window->acquiring());
            letItRun();
            // Now and then past a pause, so that a result is being handed over.
            if (i % 30 == 29) QTest::qWait(std::uniform_int_distribution(600, 700)(random));
            slowest = std::max(slowest, press(*window));
            ASSERT_FALSE(window->acquiring());
        }
    }
    for (int i = 0; i < 30; ++i) {
        std::unique_ptr<MainDialog> window = makeWindow();
        press(*window);
        letItRun();
        const auto start = std::chrono::steady_clock::now();
        // Half close the way the operator does, half go away without closing first.
        if (i % 2 == 0) {
            window->done(QDialog::Rejected);
            EXPECT_FALSE(window->acquiring());
        }
        window.reset();
        slowest = std::max(slowest, std::chrono::steady_clock::now() - start);
    }
    QCoreApplication::processEvents();

    // A stop wakes the worker at once, so no press or close waits for a pause or a time-out.
    EXPECT_LT(slowest, 2s);
    // The worker held the port only while it ran: it opens again, and no descriptor is left.
    EXPECT_TRUE(ownerless.empty()) << ownerless.front();
    EXPECT_NE(open(PortProfile::Acquisition), nullptr);
    EXPECT_EQ(OpenDescriptors(), descriptors);
    RecordProperty(
        "slowest_press_or_close_us",
        static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(slowest).count()));
}

}  // namespace
}  // namespace tavolex
