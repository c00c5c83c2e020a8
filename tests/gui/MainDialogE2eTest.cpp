// The main window on the real termios port, against the simulated instrument on a
// pseudo-terminal linked as com1: choosing the port and acquiring, registering from a file, and
// the PT100 window at the slowest rate.
// What each other button sends to the instrument is checked against it by the same-wire test.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <algorithm>
#include <fstream>

#include "ChannelLists.h"
#include "PortChoice.h"
#include "PortDialog.h"
#include "Pt100Dialog.h"
#include "RegisteredDialog.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using D = MainDialog;
using Messages = std::vector<std::string>;

class MainDialogE2eTest : public testing::MainDialogSimulatorTest {
protected:
    QString cell(int list, int row) {
        return control<QTableWidget>(list)->item(row, kTemperatureColumn)->text();
    }
};

TEST_F(MainDialogE2eTest, TheSimulatorIsChosenInTheChooserAndAcquireShowsWhatItSent) {
    sim::ModelOptions model;
    model.signalCount = 40;
    startSimulator(model);
    DeviceTree machine;
    machine.portsDir = portsDir;
    window.portChoice().setDeviceTree(machine);
    EXPECT_TRUE(testing::WithModal<PortDialog>(
        [&] { window.portChoice().choose(); },
        [&](PortDialog& chooser) {
            const auto& entries = chooser.entries();
            const auto simulator =
                std::find_if(entries.begin(), entries.end(),
                             [](const PortEntry& e) { return e.portNumber == 1; });
            ASSERT_NE(simulator, entries.end());
            chooser.list().selectRow(static_cast<int>(simulator - entries.begin()));
            chooser.numberBox().setValue(4);
            chooser.choose();
        }));
    EXPECT_EQ(edit(D::kPortEdit)->text(), "4");

    click(D::kAcquireButton);
    ASSERT_TRUE(person.messages.empty()) << person.messages.front();
    // Where each word lands is the fake-line test's; here the words are the instrument's.
    const auto sent = host->withModel([](sim::InstrumentModel& m) { return m.sentReadings(); });
    ASSERT_EQ(sent.size(), 1u);
    const std::vector<TenthDegree>& words = sent.back().words;
    ASSERT_EQ(words.size(), 44u);
    EXPECT_EQ(cell(D::kPt100List, 0).toStdString(), words[0].text());
    EXPECT_EQ(cell(D::kHighChannelList, 7).toStdString(), words[43].text());
    EXPECT_EQ(cell(D::kHighChannelList, 8), QStringLiteral(" "));
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
        click(D::kFileRegisterButton);
        for (int id : kRunControls)
            EXPECT_TRUE(enabled(id)) << id;
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

// Read serial numbers to the clipboard, paste them into a file with lines of other kinds, wipe
// the instrument's registrations, register the file: the instrument holds the same bindings
// again, and each line is registered with the popup showing its channel.
TEST_F(RegistrationE2eTest, ReadLinesRegisterTheSameBindingsAgainWithThePopupShowingTheChannel) {
    startSimulator();
    edit(D::kSnReadChannelEdit)->setText(QStringLiteral("30"));
    std::string file = "  ";  // leading blanks
    std::vector<std::optional<sim::Binding>> before;
    for (int channel = 30; channel <= 36; ++channel) {
        click(D::kReadSnButton);
        file += person.clipboard + "\r\n";
        before.push_back(binding(channel));
    }
    host->withModel([](sim::InstrumentModel& m) { m.wipeBindings(); });
    person.messages.clear();
    std::vector<QString> popupWhileAsked;
    person.onMessage = [&](std::string_view) {
        popupWhileAsked.push_back(window.registeredPopup().isVisible()
                                      ? window.registeredPopup().findChild<QLabel*>("1087")->text()
                                      : QStringLiteral("hidden"));
        EXPECT_FALSE(enabled(D::kAcquireButton));
    };
    // Channel 99 is refused by the instrument; port 03 is unknown to it; the run goes on.
    registerFile(file + line("02", 5, 0, sim::ProbePort::B) + "\r\n" +
                 line("01", 99, 2, sim::ProbePort::A) + "\r\n" +
                 line("03", 8, 3, sim::ProbePort::A) + "\r\n" +
                 line("01", 9, 4, sim::ProbePort::A) + "\r\n");
    EXPECT_EQ(person.messages, (Messages{"通道过大!", "注册是否成功未知!", "注册成功!"}));
    EXPECT_EQ(popupWhileAsked.front(), QStringLiteral("5"));
    EXPECT_EQ(popupWhileAsked.back(), QStringLiteral("9"));
    for (int channel = 30; channel <= 36; ++channel) {
        ASSERT_TRUE(binding(channel)) << channel;
        EXPECT_EQ(binding(channel), before[channel - 30]) << channel;
    }
    EXPECT_EQ(binding(5)->port, sim::ProbePort::B);
    EXPECT_TRUE(binding(9));
    EXPECT_FALSE(binding(8));
}

// Reached from the window's menu, against the simulator at 1200 baud, where the parameter
// reply takes longer than the first ten bytes that the wait table waits for.
TEST_F(MainDialogE2eTest, ThePt100WindowReadsTheSimulatorsParametersAtTheSlowestRate) {
    sim::HostOptions options;
    options.pace = true;
    startSimulator({}, options);
    const sim::Pt100Parameters expected =
        host->withModel([](sim::InstrumentModel& m) { return m.pt100Parameters(2); });
    control<QComboBox>(D::kBaudList)->setCurrentText("1200");
    EXPECT_TRUE(testing::WithModal<Pt100Dialog>(
        [&] { window.pt100Action().trigger(); },
        [&](Pt100Dialog& dialog) {
            EXPECT_EQ(window.traceTarget(), &dialog.trace());
            testing::DriverOf<Pt100Dialog> ui(dialog);
            ui.control<QComboBox>(Pt100Dialog::kChannelCombo)->setCurrentIndex(2);
            ui.click(Pt100Dialog::kReadParametersButton);
            EXPECT_EQ(ui.edit(Pt100Dialog::kResistor2Edit)->text().toInt(), expected.resistor2Ad);
            ui.click(Pt100Dialog::kTemperaturesButton);
            EXPECT_FALSE(ui.edit(Pt100Dialog::kTemperature1Edit + 3)->text().isEmpty());
        }));
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(window.traceTarget(), nullptr);
}

}  // namespace
}  // namespace tavolex
