// The main window on the real termios port, against the simulated instrument on a
// pseudo-terminal linked as com1: acquiring, and registering from a file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>

#include "ChannelLists.h"
#include "MainDialog.h"
#include "PortChoice.h"
#include "PortDialog.h"
#include "RecordingOperator.h"
#include "RegisteredDialog.h"
#include "SimulatorFixture.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;

class MainDialogE2eTest : public testing::SimulatorTest {
protected:
    void pressAcquire() {
        QTest::mouseClick(window.control<QPushButton>(MainDialog::kAcquireButton), Qt::LeftButton);
    }
    QString cell(int list, int row) {
        return window.control<QTableWidget>(list)->item(row, kTemperatureColumn)->text();
    }

    testing::RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};
};

TEST_F(MainDialogE2eTest, AcquireShowsWhatTheInstrumentSent) {
    sim::ModelOptions model;
    model.signalCount = 40;
    startSimulator(model);
    pressAcquire();
    ASSERT_TRUE(person.messages.empty()) << person.messages.front();

    const auto sent = host->withModel([](sim::InstrumentModel& m) { return m.sentReadings(); });
    ASSERT_EQ(sent.size(), 1u);
    const std::vector<TenthDegree>& words = sent.back().words;
    ASSERT_EQ(words.size(), 44u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cell(MainDialog::kPt100List, i).toStdString(), words[i].text());
    }
    for (int k = 0; k < 40; ++k) {
        const int list = k < 32 ? MainDialog::kLowChannelList : MainDialog::kHighChannelList;
        EXPECT_EQ(cell(list, k % 32).toStdString(), words[4 + k].text()) << k;
    }
    EXPECT_EQ(cell(MainDialog::kHighChannelList, 8), QStringLiteral(" "));
}

TEST_F(MainDialogE2eTest, TheSimulatorIsChosenInTheChooserAndAcquiringWorksThere) {
    startSimulator();
    DeviceTree machine;
    machine.portsDir = portsDir;
    window.portChoice().setDeviceTree(machine);
    QTimer::singleShot(0, [&] {
        auto* chooser = qobject_cast<PortDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(chooser, nullptr);
        const auto& entries = chooser->entries();
        const auto simulator = std::find_if(entries.begin(), entries.end(),
                                            [](const PortEntry& e) { return e.portNumber == 1; });
        ASSERT_NE(simulator, entries.end());
        EXPECT_EQ(simulator->device, fs::canonical(portsDir / "com1"));
        EXPECT_EQ(simulator->description, "伪终端(如模拟仪器)");
        EXPECT_EQ(simulator->state, PortState::Available);
        chooser->list().selectRow(static_cast<int>(simulator - entries.begin()));
        chooser->numberBox().setValue(4);
        chooser->choose();
    });
    window.portChoice().choose();
    EXPECT_EQ(window.control<QLineEdit>(MainDialog::kPortEdit)->text(), "4");

    pressAcquire();
    ASSERT_TRUE(person.messages.empty()) << person.messages.front();
    EXPECT_EQ(host->withModel([](sim::InstrumentModel& m) { return m.sentReadings().size(); }), 1u);
    EXPECT_FALSE(cell(MainDialog::kPt100List, 0).isEmpty());
}

// Controls a file registration run disables and enables again.
constexpr int kRunControls[] = {1061, 1060, 1069, 1068, 1050, 1049,
                                1074, 1077, 1081, 1082, 1010, 1009};

class RegistrationE2eTest : public MainDialogE2eTest {
protected:
    // Writes the file and registers it through "文件注册".
    void registerFile(const std::string& contents) {
        const fs::path file = portsDir / "probes.txt";
        std::ofstream(file, std::ios::binary) << contents;
        person.chosenFile = file;
        QTest::mouseClick(window.control<QPushButton>(MainDialog::kFileRegisterButton),
                          Qt::LeftButton);
        for (int id : kRunControls) {
            EXPECT_TRUE(window.control<QWidget>(id)->isEnabled()) << id;
        }
        EXPECT_FALSE(window.registeredPopup().isVisible());
    }
    std::optional<sim::Binding> binding(int channel) {
        return host->withModel([&](sim::InstrumentModel& m) { return m.binding(channel); });
    }
    std::string line(const char* port, int channel, int probe, sim::ProbePort on) {
        const auto sn =
            host->withModel([&](sim::InstrumentModel& m) { return m.probeOfPort(on, probe); });
        char text[40];
        std::snprintf(text, sizeof text, "%s:%02d:%02X-%02X-%02X-%02X-%02X-%02X-%02X-%02X", port,
                      channel, sn[0], sn[1], sn[2], sn[3], sn[4], sn[5], sn[6], sn[7]);
        return text;
    }
};

TEST_F(RegistrationE2eTest, EmptyFileAndTrailingEmptyLine) {
    startSimulator();
    host->withModel([](sim::InstrumentModel& m) { m.wipeBindings(); });
    registerFile("");
    EXPECT_EQ(person.messages, std::vector<std::string>{"注册成功!"});
    EXPECT_EQ(person.fileChoices.at(0).filter, "Data Files (*.txt)");

    person.messages.clear();
    registerFile(line("01", 5, 0, sim::ProbePort::A) + "\n\n");
    EXPECT_EQ(person.messages, std::vector<std::string>{"第2行格式错误,该行无注册,程序退出!"});
    EXPECT_TRUE(binding(5));
}

TEST_F(RegistrationE2eTest, EachLineIsRegisteredWithThePopupShowingItsChannel) {
    startSimulator();
    host->withModel([](sim::InstrumentModel& m) { m.wipeBindings(); });
    std::vector<QString> popupWhileAsked;
    person.onMessage = [&](std::string_view) {
        popupWhileAsked.push_back(window.registeredPopup().isVisible()
                                      ? window.registeredPopup().findChild<QLabel*>("1087")->text()
                                      : QStringLiteral("hidden"));
        EXPECT_FALSE(window.control<QWidget>(MainDialog::kAcquireButton)->isEnabled());
    };
    // Leading blanks and CR LF; channel 99 is refused by the instrument; port 03 is unknown
    // to it; both runs go on.
    registerFile("  " + line("02", 5, 0, sim::ProbePort::B) + "\r\n" +
                 line("01", 6, 1, sim::ProbePort::A) + "\r\n" +
                 line("01", 99, 2, sim::ProbePort::A) + "\r\n" +
                 line("03", 8, 3, sim::ProbePort::A) + "\r\n" +
                 line("01", 9, 4, sim::ProbePort::A) + "\r\n");
    EXPECT_EQ(person.messages,
              (std::vector<std::string>{"通道过大!", "注册是否成功未知!", "注册成功!"}));
    EXPECT_EQ(popupWhileAsked.front(), QStringLiteral("6"));
    EXPECT_EQ(popupWhileAsked.back(), QStringLiteral("9"));
    ASSERT_TRUE(binding(5));
    EXPECT_EQ(binding(5)->port, sim::ProbePort::B);
    EXPECT_TRUE(binding(6) && binding(9));
    EXPECT_FALSE(binding(8));
}

TEST_F(RegistrationE2eTest, ABadSerialNumberStopsTheRunWithItsLineNumber) {
    startSimulator();
    host->withModel([](sim::InstrumentModel& m) { m.wipeBindings(); });
    std::string lower = line("01", 2, 1, sim::ProbePort::A);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    registerFile(line("01", 1, 0, sim::ProbePort::A) + "\n" + lower + "\n" +
                 line("01", 3, 2, sim::ProbePort::A) + "\n");
    EXPECT_EQ(person.messages, std::vector<std::string>{"第2行SN号格式错误,该行无注册,程序退出!"});
    EXPECT_TRUE(binding(1));
    EXPECT_FALSE(binding(2) || binding(3));
}

TEST_F(RegistrationE2eTest, ALineWhoseTransactionFailsStopsTheRun) {
    startSimulator();
    host->faults().add(*sim::FaultRule::Parse("silence:0x04:count=1"));
    registerFile(line("01", 1, 0, sim::ProbePort::A) + "\n" + line("01", 2, 1, sim::ProbePort::A));
    EXPECT_EQ(person.messages, std::vector<std::string>{"第1行注册失败错误,该行无注册,程序退出!"});
}

// Read the serial numbers to the clipboard, paste them into a file, wipe the instrument's
// registrations, register the file: the instrument holds the same bindings again.
TEST_F(RegistrationE2eTest, ReadLinesRegisterTheSameBindingsAgain) {
    startSimulator();
    window.control<QLineEdit>(MainDialog::kSnReadChannelEdit)->setText(QStringLiteral("30"));
    std::string file;
    for (int channel = 30; channel <= 36; ++channel) {
        QTest::mouseClick(window.control<QPushButton>(MainDialog::kReadSnButton), Qt::LeftButton);
        file += person.clipboard + "\r\n";
    }
    ASSERT_EQ(person.messages.size(), 7u);
    std::vector<std::optional<sim::Binding>> before;
    for (int channel = 30; channel <= 36; ++channel)
        before.push_back(binding(channel));

    host->withModel([](sim::InstrumentModel& m) { m.wipeBindings(); });
    person.messages.clear();
    registerFile(file);
    EXPECT_EQ(person.messages, std::vector<std::string>{"注册成功!"});
    for (int channel = 30; channel <= 36; ++channel) {
        EXPECT_EQ(binding(channel), before[channel - 30]) << channel;
        EXPECT_TRUE(binding(channel)) << channel;
    }
}

}  // namespace
}  // namespace tavolex
