// The records window on the real port against the simulated instrument, which logs records by
// itself at its interval.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <atomic>

#include "MainDialog.h"
#include "RecordTexts.h"
#include "RecordingOperator.h"
#include "RecordsDialog.h"
#include "SimulatorFixture.h"
#include "WaitDialog.h"

namespace tavolex {
namespace {

namespace chr = std::chrono;

class RecordsE2eTest : public testing::SimulatorTest {
protected:
    // The simulator as com1, its wall clock moved only by the test.
    void startAt(sim::HostOptions options = {}) {
        options.linkPath = portsDir / "com1";
        const sim::WallClock wall = [this] { return chr::system_clock::time_point{m_wall.load()}; };
        host = std::make_unique<sim::PtyHost>(sim::InstrumentModel({}, wall), options);
        std::string error;
        ASSERT_TRUE(host->start(&error)) << error;
    }
    void press(int id) { QTest::mouseClick(records.control<QPushButton>(id), Qt::LeftButton); }
    QTableWidget* table() { return records.control<QTableWidget>(RecordsDialog::kTable); }

    std::atomic<chr::seconds> m_wall{chr::seconds{1'700'000'000}};
    testing::RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};
    RecordsDialog records{window, LinkSettings{1, 9600, 0}};
};

TEST_F(RecordsE2eTest, EveryRecordTheInstrumentLoggedIsShownAsItHoldsIt) {
    startAt();
    // Seven interval boundaries pass on the instrument's clock.
    m_wall = m_wall.load() + chr::minutes{7} + chr::seconds{30};
    press(RecordsDialog::kDownloadButton);
    const std::vector<sim::StoredRecord> held =
        host->withModel([](sim::InstrumentModel& model) { return model.records(); });
    ASSERT_EQ(held.size(), 7u);
    ASSERT_EQ(table()->rowCount(), 7);
    for (int row = 0; row < 7; ++row) {
        const sim::StoredRecord& record = held[static_cast<std::size_t>(row)];
        QStringList expected{QStringLiteral("记录#%1").arg(row + 1),
                             QString::fromStdString(RecordTimeText(DeviceTimestamp(record.stamp)))};
        for (const TenthDegree word : record.digital)
            expected << QString::fromStdString(word.text());
        for (const TenthDegree word : record.pt100)
            expected << QString::fromStdString(word.text());
        QStringList shown;
        for (int column = 0; column < table()->columnCount(); ++column)
            shown << table()->item(row, column)->text();
        EXPECT_EQ(shown, expected) << "row " << row;
    }
    if (table()->rowCount() > 1) {
        EXPECT_NE(table()->item(0, 1)->text(), table()->item(1, 1)->text());
    }

    press(RecordsDialog::kDeleteButton);
    EXPECT_EQ(person.messages, std::vector<std::string>{"记录已全部删除!"});
    EXPECT_TRUE(
        host->withModel([](sim::InstrumentModel& model) { return model.records(); }).empty());
}

// At the line's real rate; a few records keep the test short, and the bar still has to reach
// its end before the window closes.
TEST_F(RecordsE2eTest, APacedDownloadCompletesAndItsProgressReachesTheEnd) {
    sim::HostOptions paced;
    paced.pace = true;
    startAt(paced);
    host->withModel([](sim::InstrumentModel& model) { model.preloadRecords(4); });
    std::pair<int, int> progress{-1, -1};
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* wait = qobject_cast<WaitDialog*>(QApplication::activeModalWidget());
        if (!wait) return;
        poll.stop();
        QObject::connect(wait, &QDialog::finished, [wait, &progress] {
            progress = {wait->progressBar()->value(), wait->progressBar()->maximum()};
        });
    });
    poll.start(1);
    press(RecordsDialog::kDownloadButton);
    EXPECT_EQ(progress, std::make_pair(4, 4));
    ASSERT_EQ(table()->rowCount(), 4);
    EXPECT_NE(table()->item(3, 1)->text(), "读取失败");
    EXPECT_TRUE(person.messages.empty());
}

}  // namespace
}  // namespace tavolex
