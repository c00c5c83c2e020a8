// The main window on the real termios port against the simulated instrument as com1; what each
// other button sends to the instrument is checked against it by the same-wire test.
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
using testing::Messages;

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
            const auto simulator = std::ranges::find(entries, 1, &PortEntry::portNumber);
            ASSERT_NE(simulator, entries.end());
            chooser.list().selectRow(static_cast<int>(simulator - entries.begin()));
            chooser.numberBox().setValue(4);
            chooser.choose();
        }));
    EXPECT_EQ(edit(D::kPortEdit)->text(), "4");

    click(D::kAcquireButton);
    ASSERT_TRUE(person.messages.empty()) << person.messages.front();
    const auto sent = host->withModel([](sim::InstrumentModel& m) { return m.sentReadings(); });
    ASSERT_EQ(sent.size(), 1u);
    const std::vector<TenthDegree>& words = sent.back().words;
    ASSERT_EQ(words.size(), 44u);
    EXPECT_EQ((QStringList{cell(D::kPt100List, 0), cell(D::kHighChannelList, 7),
                           cell(D::kHighChannelList, 8)}),
              (QStringList{QString::fromStdString(words[0].text()),
                           QString::fromStdString(words[43].text()), " "}));
}

constexpr int kRunControls[] = {1061, 1060, 1069, 1068, 1050, 1049,
                                1074, 1077, 1081, 1082, 1010, 1009};

class RegistrationE2eTest : public MainDialogE2eTest {
protected:
    // Registers the file through "文件注册"; the controls it locked come back.
    void registerFile(const std::string& contents) {
        const fs::path file = portsDir / "probes.txt";
        std::ofstream(file, std::ios::binary) << contents;
        person.chosenFile = file;
        click(D::kFileRegisterButton);
        for (int id : kRunControls)
            EXPECT_TRUE(enabled(id)) << id;
        EXPECT_FALSE(window.registeredPopup().isVisible());
    }
    auto binding(int channel) {
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

// Serial numbers read to the clipboard, pasted into a file, registered after a wipe.
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
    EXPECT_EQ(std::pair(popupWhileAsked.front(), popupWhileAsked.back()),
              std::pair(QString("5"), QString("9")));
    for (int channel = 30; channel <= 36; ++channel) {
        ASSERT_TRUE(binding(channel)) << channel;
        EXPECT_EQ(binding(channel), before[channel - 30]) << channel;
    }
    ASSERT_TRUE(binding(5) && binding(9) && !binding(8));
    EXPECT_EQ(binding(5)->port, sim::ProbePort::B);
}

// At 1200 baud the parameter reply outlasts the wait for its first ten bytes.
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
