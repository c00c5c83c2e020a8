// The window and tavolex-cli doing the same job put the same requests on the line, against one
// simulated instrument that records every request it receives.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <mutex>

#include "CliTest.h"
#include "DeviceClockControls.h"
#include "MainDialog.h"
#include "Pt100Dialog.h"
#include "RecordingOperator.h"
#include "RecordsDialog.h"

namespace tavolex::testing {
namespace {

using M = MainDialog;
using P = Pt100Dialog;

class SameWireTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        sim::HostOptions options;
        options.trace = [this](std::string_view line) {
            if (!line.starts_with("<-")) return;
            const std::lock_guard lock(m_mutex);
            m_requests.emplace_back(line);
        };
        startSimulator({}, options);
        // The count reply is shorter than the generic wait: filled up, the exchange ends at once.
        host->faults().add(*sim::FaultRule::Parse("surplus:0x01:bytes=7"));
        window.deviceClock().localTime = [] {
            return std::tm{1, 3, 9, 7, 4, 124, 0, 0, 0, 0, nullptr};  // 2024-05-07 09:03:01
        };
    }

    std::vector<std::string> takeRequests() {
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_requests, {});
    }
    static void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton); }
    void click(int id) { Click(window.control<QWidget>(id)); }
    // Types the text into the field and presses the button.
    void enter(int field, const char* text, int button) {
        window.control<QLineEdit>(field)->setText(QString::fromUtf8(text));
        click(button);
    }
    // Picks the entry as a user does.
    void choose(int combo, int index) {
        auto* box = window.control<QComboBox>(combo);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    void pt100(int channelIndex, int button) {
        Pt100Dialog dialog(window);
        dialog.control<QComboBox>(P::kChannelCombo)->setCurrentIndex(channelIndex);
        Click(dialog.control<QPushButton>(button));
    }

    RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};

private:
    std::mutex m_mutex;
    std::vector<std::string> m_requests;
};

struct Job {
    std::vector<std::string> cli;
    std::function<void()> inWindow;
    int status = 0;  // the client's
};

TEST_F(SameWireTest, EveryJobSendsTheWindowsBytes) {
    const std::vector<Job> jobs = {
        {{"read"}, [this] { click(M::kAcquireButton); }},
        {{"version"}, [this] { click(M::kVersionLabel); }},
        {{"channels", "set", "10"},
         [this] { enter(M::kSignalCountEdit, "10", M::kSetSignalCountButton); }},
        {{"offsets"}, [this] { click(M::kReadOffsetsButton); }},
        {{"offsets", "set", "digital", "5", "-1.5"},
         [this] {
             choose(M::kProbeTypeCombo, 1), choose(M::kOffsetChannelList, 4);
             enter(M::kOffsetEdit, "-1.5", M::kSetOffsetButton);
         }},
        {{"calibrate", "143"},
         [this] { choose(M::kResistorCombo, 2), click(M::kCalibrateButton); }},
        {{"clock", "set", "2024-05-07 09:03:01"}, [this] { click(M::kSetClockButton); }},
        {{"clock"}, [this] { click(M::kReadClockButton); }},
        {{"interval", "set", "15"},
         [this] { enter(M::kIntervalEdit, "15", M::kSetIntervalButton); }},
        {{"interval"}, [this] { click(M::kReadIntervalButton); }},
        {{"sn", "read", "5"}, [this] { enter(M::kSnReadChannelEdit, "5", M::kReadSnButton); }},
        // Many probes hang on the port: none is found alone, a failure.
        {{"register", "semi", "B", "7"},
         [this] {
             click(M::kPortBRadio), enter(M::kRegistrationChannelEdit, "7", M::kRegisterButton);
         },
         1},
        {{"register", "auto"},
         [this] { click(M::kFullyAutomaticRadio), click(M::kRegisterButton); }},
        {{"pt100", "params", "2"}, [this] { pt100(1, P::kReadParametersButton); }},
        {{"pt100", "calibrate", "r1", "3"}, [this] { pt100(2, P::kResistor1Button); }},
        {{"pt100", "temps"}, [this] { pt100(0, P::kTemperaturesButton); }},
        {{"records", "count"}, [this] { RecordsDialog(window, settings).readCount(); }},
        {{"records", "delete", "--yes"},
         [this] { RecordsDialog(window, settings).deleteRecords(); }},
        {{"ids", "wipe", "--yes"},
         [this] {
             QTimer::singleShot(0, [] {
                 if (auto* asked = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                     asked->accept();
             });
             click(M::kDeleteIdsButton);
         }},
    };
    for (const Job& job : jobs) {
        job.inWindow();
        const std::vector<std::string> fromWindow = takeRequests();
        const CliResult result = run(job.cli);
        EXPECT_EQ(result.status, job.status) << ::testing::PrintToString(job.cli) << result.err;
        EXPECT_FALSE(fromWindow.empty()) << job.cli[0];
        EXPECT_EQ(takeRequests(), fromWindow) << ::testing::PrintToString(job.cli) << result.err;
    }
}

}  // namespace
}  // namespace tavolex::testing
