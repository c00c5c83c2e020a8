// The offset group and the version label on the real port against the simulated instrument.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "ChannelLists.h"
#include "MainDialog.h"
#include "RecordingOperator.h"
#include "SimulatorFixture.h"

namespace tavolex {
namespace {

class CalibrationE2eTest : public testing::SimulatorTest {
protected:
    // The instrument's temperatures drift with its wall clock; a frozen one keeps them still,
    // so two readings differ only by what the window changed.
    void startFrozenSimulator() {
        sim::HostOptions options;
        options.linkPath = portsDir / "com1";
        const auto frozen = std::chrono::system_clock::now();
        host = std::make_unique<sim::PtyHost>(sim::InstrumentModel({}, [frozen] { return frozen; }),
                                              options);
        std::string error;
        ASSERT_TRUE(host->start(&error)) << error;
    }
    void click(int id) { QTest::mouseClick(window.control<QPushButton>(id), Qt::LeftButton); }
    QString cell(int list, int row, int column) {
        return window.control<QTableWidget>(list)->item(row, column)->text();
    }
    // A shown temperature in tenths ("-1.2" is -12).
    int tenths(const QString& text) { return QString(text).remove('.').toInt(); }

    testing::RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};
};

TEST_F(CalibrationE2eTest, AnOffsetSetIsReadBackInItsRowAndAppliedToReadings) {
    startFrozenSimulator();
    click(MainDialog::kAcquireButton);
    const int before = tenths(cell(MainDialog::kHighChannelList, 4, kTemperatureColumn));

    // Digital channel 37 is item "37" of the digital probe type.
    QComboBox* types = window.control<QComboBox>(MainDialog::kProbeTypeCombo);
    types->setFocus();
    QTest::keyClick(types, Qt::Key_Down);
    QTest::keyClick(types, Qt::Key_Down);
    window.control<QComboBox>(MainDialog::kOffsetChannelList)->setCurrentIndex(36);
    window.control<QLineEdit>(MainDialog::kOffsetEdit)->setText(QStringLiteral("-1.25"));
    click(MainDialog::kSetOffsetButton);
    click(MainDialog::kReadOffsetsButton);
    click(MainDialog::kAcquireButton);

    EXPECT_EQ(person.messages, std::vector<std::string>{"设置成功!"});
    EXPECT_EQ(host->withModel([](sim::InstrumentModel& m) { return m.digitalOffset(37); }), -12);
    EXPECT_EQ(cell(MainDialog::kHighChannelList, 4, kOffsetColumn), "-1.2");
    EXPECT_EQ(cell(MainDialog::kHighChannelList, 3, kOffsetColumn), "0.0");
    EXPECT_EQ(cell(MainDialog::kPt100List, 0, kOffsetColumn), "0.0");
    EXPECT_EQ(tenths(cell(MainDialog::kHighChannelList, 4, kTemperatureColumn)), before - 12);
}

TEST_F(CalibrationE2eTest, VersionAndCalibrationReachTheInstrument) {
    startSimulator();
    QTest::mouseClick(window.control<QLabel>(MainDialog::kVersionLabel), Qt::LeftButton);
    EXPECT_EQ(window.control<QLabel>(MainDialog::kVersionLabel)->text(), "Ver3.2");
    window.control<QComboBox>(MainDialog::kResistorCombo)->setCurrentIndex(0);
    click(MainDialog::kCalibrateButton);
    EXPECT_EQ(
        host->withModel([](sim::InstrumentModel& m) { return m.lastLowTemperatureCalibration(); }),
        1);
    EXPECT_EQ(person.messages, std::vector<std::string>{"校机成功!!!"});
}

}  // namespace
}  // namespace tavolex
