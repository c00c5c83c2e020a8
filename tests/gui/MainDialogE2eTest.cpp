// The main window on the real termios port, against the simulated instrument on a
// pseudo-terminal linked as com1.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "ChannelLists.h"
#include "MainDialog.h"
#include "RecordingOperator.h"
#include "SimulatorFixture.h"

namespace tavolex {
namespace {

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
    EXPECT_EQ(cell(MainDialog::kLowChannelList, 0).toStdString(), words[4].text());
    EXPECT_EQ(cell(MainDialog::kHighChannelList, 7).toStdString(), words[43].text());
    EXPECT_EQ(cell(MainDialog::kHighChannelList, 8), QStringLiteral(" "));
}

}  // namespace
}  // namespace tavolex
