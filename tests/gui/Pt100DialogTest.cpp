// The PT100 parameter window driven as a user drives it: on the scripted line, and once more
// against the simulated instrument at 1200 baud.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include "Commands.h"
#include "Gbk.h"
#include "Pt100Dialog.h"
#include "UpDownControl.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

using D = Pt100Dialog;

class Pt100DialogTest : public testing::MainDialogFixture {
protected:
    Pt100DialogTest() { window.setTraceTarget(&dialog.trace()); }
    ~Pt100DialogTest() override { window.setTraceTarget(nullptr); }

    QString field(int id) { return dialog.control<QLineEdit>(id)->text(); }
    QListWidget* log() { return dialog.control<QListWidget>(D::kLogList); }

    Pt100Dialog dialog{window};
    testing::DriverOf<Pt100Dialog> ui{dialog};
};

TEST_F(Pt100DialogTest, ReadsLandInTheirEditsMoveTheSpinAndAreTraced) {
    line.reply(ReplyFrame(0, command::kReadPt100ParametersOrVersion,
                          Bytes{17, 3, 0, 0x01, 0x2C, 0x02, 0x58}));
    ui.click(D::kReadParametersButton);
    EXPECT_EQ(QStringList({field(D::kZeroPointEdit), field(D::kOffsetEdit),
                           field(D::kResistor1Edit), field(D::kResistor2Edit)}),
              QStringList({"17", "0.30", "300", "600"}));
    EXPECT_EQ(dialog.offsetSpin().position(), 53);
    ASSERT_EQ(log()->count(), 2);
    EXPECT_TRUE(log()->item(0)->text().startsWith("写 14 3f"));
    EXPECT_TRUE(log()->item(1)->text().startsWith("读 14 3f"));

    dialog.control<QComboBox>(D::kChannelCombo)->setCurrentIndex(1);
    line.reply(ReplyFrame(0, command::kCalibrate, Bytes{0x0B, 0xB8}));
    ui.click(D::kResistor2Button);
    EXPECT_EQ(line.written.back(), RequestFrame(0, command::kCalibrate, Bytes{3, 1}));
    EXPECT_EQ(field(D::kResistor2Edit), "3000");
    line.reply(ReplyFrame(0, command::kReadPt100Temperatures,
                          Bytes{0x80, 0x05, 0x00, 0xFA, 0x00, 0x00, 0x01, 0x00}));
    ui.click(D::kTemperaturesButton);
    EXPECT_EQ(field(D::kTemperature1Edit), "-0.5");
    EXPECT_EQ(field(D::kTemperature1Edit + 3), "25.6");
    // The offset button has no command behind it.
    const std::size_t sent = line.written.size();
    ui.click(D::kSetOffsetButton);
    EXPECT_EQ(line.written.size(), sent);

    // Text typed into the channel box selects no channel, even an item's text: 0xFF goes out.
    // A failure keeps the edits as they were.
    QLineEdit* typed = dialog.control<QComboBox>(D::kChannelCombo)->lineEdit();
    typed->selectAll();
    QTest::keyClicks(typed, "2");
    line.silence();
    ui.click(D::kReadParametersButton);
    EXPECT_EQ(line.written.back()[7], 0xFF);
    EXPECT_EQ(field(D::kZeroPointEdit), "17");
}

TEST_F(Pt100DialogTest, TheSpinAndTheOffsetEditFollowEachOther) {
    UpDownControl& spin = dialog.offsetSpin();
    QTest::mouseClick(spin.upButton(), Qt::LeftButton);
    EXPECT_EQ(field(D::kOffsetEdit), "0.1");
    EXPECT_EQ(spin.position(), 51);
    dialog.control<QLineEdit>(D::kOffsetEdit)->setText("9");
    EXPECT_EQ(spin.position(), 100);
    spin.setFocus();
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(field(D::kOffsetEdit), "5.0");
    QTest::keyClick(&spin, Qt::Key_Down);
    EXPECT_EQ(field(D::kOffsetEdit), "4.9");
    dialog.control<QLineEdit>(D::kOffsetEdit)->setText("letters");
    EXPECT_EQ(spin.position(), 50);
}

TEST_F(Pt100DialogTest, TheLogKeepsTheNewest900LinesAndSavesThemInGbk) {
    for (int i = 0; i < 901; ++i)
        dialog.trace().addLine("\n写 " + std::to_string(i));
    ASSERT_EQ(log()->count(), 900);
    EXPECT_EQ(log()->item(0)->text(), "写 1");
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(log()->viewport()->rect().contains(log()->visualItemRect(log()->item(899))));

    const std::filesystem::path file = directory.path() / "trace.log";
    ui.click(D::kSaveLogButton);  // cancelled: nothing is written
    EXPECT_FALSE(std::filesystem::exists(file));
    person.savedFile = file;
    ui.click(D::kSaveLogButton);
    const std::string saved = testing::FileText(file);
    const std::string first = Utf8ToGbk("\r\n写 1\r\n");
    EXPECT_EQ(saved.substr(0, first.size()), first);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 1800);

    ui.click(D::kClearLogButton);
    EXPECT_EQ(log()->count(), 0);
    ui.click(D::kSaveLogButton);
    EXPECT_EQ(testing::FileText(file), "");

    person.savedFile = directory.path() / "missing" / "trace.log";
    ui.click(D::kSaveLogButton);
    EXPECT_EQ(person.messages, std::vector<std::string>{"保存日志失败!"});
    EXPECT_FALSE(std::filesystem::exists(directory.path() / "missing"));
}

// Reached from the window's menu, against the simulator at 1200 baud, where the parameter
// reply takes longer than the first ten bytes that the wait table waits for.
using Pt100DialogE2eTest = testing::MainDialogSimulatorTest;

TEST_F(Pt100DialogE2eTest, OpenedFromTheMenuItReadsTheSimulatorsParametersAtTheSlowestRate) {
    sim::HostOptions options;
    options.pace = true;
    startSimulator({}, options);
    const sim::Pt100Parameters expected =
        host->withModel([](sim::InstrumentModel& m) { return m.pt100Parameters(2); });
    control<QComboBox>(MainDialog::kBaudList)->setCurrentText("1200");

    EXPECT_TRUE(testing::WithModal<Pt100Dialog>(
        [&] { window.pt100Action().trigger(); },
        [&](Pt100Dialog& dialog) {
            EXPECT_EQ(window.traceTarget(), &dialog.trace());
            testing::DriverOf<Pt100Dialog> ui(dialog);
            ui.control<QComboBox>(D::kChannelCombo)->setCurrentIndex(2);
            ui.click(D::kReadParametersButton);
            EXPECT_EQ(ui.edit(D::kResistor2Edit)->text().toInt(), expected.resistor2Ad);
            ui.click(D::kTemperaturesButton);
            EXPECT_FALSE(ui.edit(D::kTemperature1Edit + 3)->text().isEmpty());
        }));
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(window.traceTarget(), nullptr);
}

}  // namespace
}  // namespace tavolex
