// The offset group on the real port against the simulated instrument.
#include <gtest/gtest.h>

#include <QComboBox>
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
    void click(int id) { QTest::mouseClick(window.control<QPushButton>(id), Qt::LeftButton); }
    QString cell(int row, int column) {
        return window.control<QTableWidget>(MainDialog::kHighChannelList)
            ->item(row, column)
            ->text();
    }

    testing::RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};
};

TEST_F(CalibrationE2eTest, AnOffsetSetIsReadBackInItsRowAndAppliedToReadings) {
    // The instrument's temperatures drift with its wall clock; a frozen one keeps them still, so
    // two readings differ only by the offset.
    const auto frozen = std::chrono::system_clock::now();
    sim::HostOptions options;
    options.linkPath = portsDir / "com1";
    host =
        std::make_unique<sim::PtyHost>(sim::InstrumentModel({}, [=] { return frozen; }), options);
    ASSERT_TRUE(host->start());
    const auto tenths = [&](int row) { return cell(row, kTemperatureColumn).remove('.').toInt(); };
    click(MainDialog::kAcquireButton);
    const int before = tenths(4);

    // Channel 37 is item "37" of the digital probe type.
    QComboBox* types = window.control<QComboBox>(MainDialog::kProbeTypeCombo);
    types->setFocus();
    QTest::keyClick(types, Qt::Key_Down);
    QTest::keyClick(types, Qt::Key_Down);
    window.control<QComboBox>(MainDialog::kOffsetChannelList)->setCurrentIndex(36);
    window.control<QLineEdit>(MainDialog::kOffsetEdit)->setText(QStringLiteral("-1.25"));
    for (int id :
         {MainDialog::kSetOffsetButton, MainDialog::kReadOffsetsButton, MainDialog::kAcquireButton})
        click(id);

    EXPECT_EQ(person.messages, std::vector<std::string>{"设置成功!"});
    EXPECT_EQ(host->withModel([](sim::InstrumentModel& m) { return m.digitalOffset(37); }), -12);
    EXPECT_EQ(cell(4, kOffsetColumn), "-1.2");
    EXPECT_EQ(cell(3, kOffsetColumn), "0.0");
    EXPECT_EQ(tenths(4), before - 12);
}

}  // namespace
}  // namespace tavolex
