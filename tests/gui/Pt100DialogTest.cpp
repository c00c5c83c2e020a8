// The PT100 parameter window driven as a user drives it: on the scripted line, and once more
// against the simulated instrument at 1200 baud.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "Commands.h"
#include "Gbk.h"
#include "MainDialogFixture.h"
#include "Pt100Dialog.h"
#include "SimulatorFixture.h"
#include "UpDownControl.h"

namespace tavolex {
namespace {

using D = Pt100Dialog;

Bytes ParametersReply(std::uint8_t offsetByte) {
    return ReplyFrame(0, command::kReadPt100ParametersOrVersion,
                      Bytes{17, offsetByte, 0, 0x01, 0x2C, 0x02, 0x58});
}

class Pt100DialogTest : public testing::MainDialogFixture {
protected:
    Pt100DialogTest() { window.setTraceTarget(&dialog.trace()); }
    ~Pt100DialogTest() override { window.setTraceTarget(nullptr); }

    QLineEdit* field(int id) { return dialog.control<QLineEdit>(id); }
    void press(int id) { QTest::mouseClick(dialog.control<QPushButton>(id), Qt::LeftButton); }
    QListWidget* log() { return dialog.control<QListWidget>(D::kLogList); }

    Pt100Dialog dialog{window};
};

TEST_F(Pt100DialogTest, ReadingParametersFillsTheEditsMovesTheSpinAndTracesBothWays) {
    EXPECT_EQ(dialog.control<QComboBox>(D::kChannelCombo)->currentText(), "1");
    EXPECT_EQ(dialog.offsetSpin().position(), 50);
    EXPECT_TRUE(field(D::kOffsetEdit)->text().isEmpty());
    line.reply(ParametersReply(3));
    press(D::kReadParametersButton);
    EXPECT_EQ(field(D::kZeroPointEdit)->text(), "17");
    EXPECT_EQ(field(D::kOffsetEdit)->text(), "0.30");
    EXPECT_EQ(field(D::kResistor1Edit)->text(), "300");
    EXPECT_EQ(field(D::kResistor2Edit)->text(), "600");
    EXPECT_EQ(dialog.offsetSpin().position(), 53);
    ASSERT_EQ(log()->count(), 2);
    EXPECT_EQ(log()->item(0)->text(), "写 14 3f 00 00 08 00 01 00 ff b7 ");
    EXPECT_TRUE(log()->item(1)->text().startsWith("读 14 3f 00 00 08 00 07 11 03"));

    // Text typed into the channel box selects no channel, even an item's text: 0xFF goes out.
    // A failure keeps the edits as they were.
    QLineEdit* typed = dialog.control<QComboBox>(D::kChannelCombo)->lineEdit();
    typed->selectAll();
    QTest::keyClicks(typed, "2");
    line.silence();
    press(D::kReadParametersButton);
    EXPECT_EQ(line.written.back()[7], 0xFF);
    EXPECT_EQ(person.messages, std::vector<std::string>{"读数据错误!"});
    EXPECT_EQ(field(D::kZeroPointEdit)->text(), "17");
}

TEST_F(Pt100DialogTest, CalibrationAndTemperaturesLandInTheirEdits) {
    dialog.control<QComboBox>(D::kChannelCombo)->setCurrentIndex(1);
    line.reply(ReplyFrame(0, command::kCalibrate, Bytes{0x0B, 0xB8}));
    press(D::kResistor2Button);
    EXPECT_EQ(line.written.back(), RequestFrame(0, command::kCalibrate, Bytes{3, 1}));
    EXPECT_EQ(field(D::kResistor2Edit)->text(), "3000");
    line.reply(ReplyFrame(0, command::kReadPt100Temperatures,
                          Bytes{0x80, 0x05, 0x00, 0xFA, 0x00, 0x00, 0x01, 0x00}));
    press(D::kTemperaturesButton);
    EXPECT_EQ(field(D::kTemperature1Edit)->text(), "-0.5");
    EXPECT_EQ(field(D::kTemperature1Edit + 1)->text(), "25.0");
    EXPECT_EQ(field(D::kTemperature1Edit + 3)->text(), "25.6");
    // The offset button has no command behind it.
    const std::size_t sent = line.written.size();
    press(D::kSetOffsetButton);
    EXPECT_EQ(line.written.size(), sent);
}

TEST_F(Pt100DialogTest, TheSpinAndTheOffsetEditFollowEachOther) {
    UpDownControl& spin = dialog.offsetSpin();
    QTest::mouseClick(spin.upButton(), Qt::LeftButton);
    EXPECT_EQ(field(D::kOffsetEdit)->text(), "0.1");
    EXPECT_EQ(spin.position(), 51);
    field(D::kOffsetEdit)->setText("9");
    EXPECT_EQ(spin.position(), 100);
    spin.setFocus();
    QTest::keyClick(&spin, Qt::Key_Up);
    EXPECT_EQ(field(D::kOffsetEdit)->text(), "5.0");
    QTest::keyClick(&spin, Qt::Key_Down);
    EXPECT_EQ(field(D::kOffsetEdit)->text(), "4.9");
    field(D::kOffsetEdit)->setText("letters");
    EXPECT_EQ(spin.position(), 50);
}

TEST_F(Pt100DialogTest, TheLogKeepsTheNewest900LinesAndSavesThemInGbk) {
    for (int i = 0; i < 901; ++i)
        dialog.trace().addLine("\n写 " + std::to_string(i));
    ASSERT_EQ(log()->count(), 900);
    EXPECT_EQ(log()->item(0)->text(), "写 1");
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QRect newest = log()->visualItemRect(log()->item(899));
    EXPECT_TRUE(log()->viewport()->rect().contains(newest));

    const std::filesystem::path file = directory.path() / "trace.log";
    press(D::kSaveLogButton);  // cancelled: nothing is written
    EXPECT_FALSE(std::filesystem::exists(file));
    person.savedFile = file;
    press(D::kSaveLogButton);
    const std::string saved = testing::FileText(file);
    const std::string first = Utf8ToGbk("\r\n写 1\r\n");
    EXPECT_EQ(saved.substr(0, first.size()), first);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 1800);

    press(D::kClearLogButton);
    EXPECT_EQ(log()->count(), 0);
    press(D::kSaveLogButton);
    EXPECT_EQ(testing::FileText(file), "");
    EXPECT_TRUE(std::filesystem::exists(file));

    person.savedFile = directory.path() / "missing" / "trace.log";
    press(D::kSaveLogButton);
    EXPECT_EQ(person.messages, std::vector<std::string>{"保存日志失败!"});
    EXPECT_FALSE(std::filesystem::exists(directory.path() / "missing"));
}

// Reached from the window's menu, against the simulator at 1200 baud, where the parameter
// reply takes longer than the first ten bytes that the wait table waits for.
class Pt100DialogE2eTest : public testing::SimulatorTest {
protected:
    testing::RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};
};

TEST_F(Pt100DialogE2eTest, OpenedFromTheMenuItReadsTheSimulatorsParametersAtTheSlowestRate) {
    sim::HostOptions options;
    options.pace = true;
    startSimulator({}, options);
    const sim::Pt100Parameters expected =
        host->withModel([](sim::InstrumentModel& m) { return m.pt100Parameters(2); });
    window.control<QComboBox>(MainDialog::kBaudList)->setCurrentText("1200");
    EXPECT_EQ(window.pt100Action().text(), "PT100参数设置(&P)...");

    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<Pt100Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        seen = true;
        EXPECT_EQ(window.traceTarget(), &dialog->trace());
        dialog->control<QComboBox>(D::kChannelCombo)->setCurrentIndex(2);
        QTest::mouseClick(dialog->control<QPushButton>(D::kReadParametersButton), Qt::LeftButton);
        EXPECT_EQ(dialog->control<QLineEdit>(D::kResistor2Edit)->text().toInt(),
                  expected.resistor2Ad);
        EXPECT_EQ(dialog->control<QListWidget>(D::kLogList)->count(), 2);
        QTest::mouseClick(dialog->control<QPushButton>(D::kTemperaturesButton), Qt::LeftButton);
        EXPECT_FALSE(dialog->control<QLineEdit>(D::kTemperature1Edit + 3)->text().isEmpty());
        dialog->reject();
    });
    window.pt100Action().trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(person.messages.empty());
    EXPECT_EQ(window.traceTarget(), nullptr);
}

}  // namespace
}  // namespace tavolex
