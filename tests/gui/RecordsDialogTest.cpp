// The records window and its download worker, on the fake line and on the real port against
// what the simulated instrument logged by itself.
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <atomic>

#include "AtomicFile.h"
#include "HandOver.h"
#include "QtOperator.h"
#include "RecordDownloadWorker.h"
#include "RecordFrames.h"
#include "RecordsDialog.h"
#include "TrendDialog.h"
#include "WaitDialog.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::Chunk;
using testing::Messages;
using AtHandOver = testing::AtHandOver<RecordDownloadWorker>;
using testing::RecordCountFrame;
using testing::RecordFrame;
using testing::SeriesRecord;

// Keeps every window unpainted: Qt's fill threads use locks the thread sanitizer cannot see.
struct NoPainting final : QObject {
    NoPainting() { qApp->installEventFilter(this); }
    ~NoPainting() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        return event->type() == QEvent::Expose || event->type() == QEvent::UpdateRequest ||
               event->type() == QEvent::Paint;
    }
};

auto OpenWaitDialog = [] { return qobject_cast<WaitDialog*>(QApplication::activeModalWidget()); };

// Presses "读取记录内容"; returns the progress bar's value and maximum as its window closes.
std::pair<int, int> Download(RecordsDialog& records) {
    std::pair<int, int> progress{-1, -1};
    const AtHandOver first(1, [&progress] {
        WaitDialog* wait = OpenWaitDialog();
        ASSERT_NE(wait, nullptr);
        QObject::connect(wait, &QDialog::finished, [wait, &progress] {
            QAccessibleValueInterface* value =
                QAccessible::queryAccessibleInterface(wait->progressBar())->valueInterface();
            progress = {value->currentValue().toInt(), value->maximumValue().toInt()};
        });
    });
    QTest::mouseClick(records.control<QPushButton>(RecordsDialog::kDownloadButton), Qt::LeftButton);
    return progress;
}

class RecordsDialogTest : public testing::MainDialogFixture {
protected:
    const NoPainting m_noPainting;
    RecordsDialogTest() {
        line.responder = [](ByteView request) {
            return std::vector<Chunk>{{2ms, SeriesRecord(request[7])}};
        };
    }
    void press(int id) { QTest::mouseClick(records.control<QPushButton>(id), Qt::LeftButton); }
    QTableWidget* table() { return records.control<QTableWidget>(RecordsDialog::kTable); }
    int rows() { return table()->rowCount(); }
    QString cell(int row, int column) {
        const QTableWidgetItem* item = table()->item(row, column);
        return item ? item->text() : "<none>";
    }
    QString countText() { return records.control<QLabel>(RecordsDialog::kCountLabel)->text(); }

    RecordsDialog records{window, LinkSettings{2, 9600, 0}};
};

// Closed mid-download, it waits for the worker; the sanitizer build catches a handler reached.
TEST_F(RecordsDialogTest, ViewRecordsOpensWithTheLinkSettingsOfItsOpeningAndClosesMidDownload) {
    type(MainDialog::kPortEdit, "3");
    control<QComboBox>(MainDialog::kBaudList)->setCurrentText("19200");
    type(MainDialog::kAddressEdit, "261");
    const auto open = [this] { click(MainDialog::kViewRecordsButton); };
    EXPECT_TRUE(testing::WithModal<RecordsDialog>(open, [this](RecordsDialog& dialog) {
        // Edits of the main window after the opening are not seen.
        edit(MainDialog::kPortEdit)->setText("9");
        line.reply(RecordCountFrame(0x0102, 5));
        QTest::mouseClick(dialog.control<QPushButton>(RecordsDialog::kReadCountButton),
                          Qt::LeftButton);
        EXPECT_EQ(dialog.control<QLabel>(RecordsDialog::kCountLabel)->text(), "记录条数:258");
        line.reply(RecordCountFrame(200, 5));
        const AtHandOver close(3, [&dialog] {
            QTest::keyClick(OpenWaitDialog(), Qt::Key_Escape);
            dialog.close();
        });
        Download(dialog);
        EXPECT_EQ(dialog.control<QTableWidget>(RecordsDialog::kTable)->rowCount(), 3);
    }));
    EXPECT_EQ(
        std::tuple(line.lastSettings.portNumber, line.lastSettings.baudRate, line.lastProfile),
        std::tuple(3, 19200, PortProfile::Records));
    EXPECT_EQ(line.written.at(0), RequestFrame(5, command::kStoredRecords, Bytes{0}));
    EXPECT_EQ(line.written.size(), 5u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(window.findChildren<RecordsDialog*>().size(), 1);  // the fixture's own
    EXPECT_FALSE(line.held());
}

TEST_F(RecordsDialogTest, DownloadCountDeleteAndEscapeEachChangeOnlyWhatTheyShow) {
    line.reply(RecordCountFrame(3));
    line.reply(RecordFrame({0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01}, 0x80FA, 0x00FD));
    line.silence();
    line.reply(RecordFrame({0x00, 0x24, 0x1A, 0x07, 0x09, 0x03, 0x01}, 0x8000, 0x7FFF));
    EXPECT_EQ(Download(records), std::make_pair(3, 3));
    EXPECT_EQ(countText(), "记录条数:3");
    ASSERT_EQ(rows(), 3);
    // Each record in its row; the silent one's row says so and shows no values.
    EXPECT_EQ((QStringList{cell(0, 2), cell(1, 0), cell(1, 1), cell(1, 2), cell(2, 2)}),
              (QStringList{"25.3", "记录#2", "读取失败", "", "3276.7"}));

    // "读取" shows the count alone; a failed count, or a count of 0, leaves the table be.
    line.reply(RecordCountFrame(5));
    press(RecordsDialog::kReadCountButton);
    Bytes bad = RecordCountFrame(9);
    bad.back() ^= 1;
    line.reply(bad);
    press(RecordsDialog::kDownloadButton);
    EXPECT_EQ(countText(), "记录条数:5");
    line.reply(RecordCountFrame(0));
    press(RecordsDialog::kDownloadButton);
    EXPECT_EQ(countText(), "记录条数:0");
    EXPECT_EQ(rows(), 3);

    // Deleting clears the table, after its message, and leaves the count.
    line.silence();
    press(RecordsDialog::kDeleteButton);
    EXPECT_EQ(rows(), 3);
    person.onMessage = [this](std::string_view) { EXPECT_EQ(rows(), 3); };
    line.reply(ReplyFrame(0, command::kDeleteRecords, Bytes{0}), 9000ms);
    press(RecordsDialog::kDeleteButton);
    EXPECT_EQ(person.messages,
              (Messages{"检验码错误!", "请先读取记录总条目数", "校验出错!", "记录已全部删除!"}));
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(countText(), "记录条数:0");

    // Enter does nothing in the wait window; Escape stops the worker, which finishes record 10.
    person.onMessage = nullptr;
    line.written.clear();
    AtHandOver enter(5, [] { QTest::keyClick(OpenWaitDialog(), Qt::Key_Return); });
    AtHandOver escape(10, [] { QTest::keyClick(OpenWaitDialog(), Qt::Key_Escape); });
    line.reply(RecordCountFrame(40));
    EXPECT_EQ(Download(records), std::make_pair(10, 40));
    EXPECT_EQ(std::pair(rows(), cell(9, 0)), std::pair(10, QString("记录#10")));
    EXPECT_EQ(line.written.size(), 11u);
    EXPECT_FALSE(line.held());
}

TEST_F(RecordsDialogTest, TheTableIsSavedAsShownWithItsTimeInDateForm) {
    QAction& save = records.exportAction();
    EXPECT_FALSE(save.isEnabled());
    line.reply(RecordCountFrame(3));
    line.reply(SeriesRecord(1));
    line.silence();
    line.reply(RecordFrame({0x20, 0x24, 0x1A, 0x07, 0x09, 0x03, 0x00}, 0x8001, 0x0101));
    Download(records);

    person.savedFile = directory.path() / "saved.csv";
    records.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&records));
    QTest::keyClick(table(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(person.saveChoices.size(), 1u);
    EXPECT_EQ(person.saveChoices[0].startDirectory,  // named after the first record's time
              window.workingDirectory() / "记录_2024-05-07_09-01-00.csv");
    const std::string text = testing::FileText(directory.path() / "saved.csv");
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    // A line per row shown, the silent record's too; the text of each is the records' own test's.
    const QStringList lines = QString::fromStdString(text.substr(3)).split("\r\n");
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[2].split(',').mid(0, 3), (QStringList{cell(1, 0), cell(1, 1), ""}));

    person.savedFile = directory.path() / "no such folder" / "saved.csv";
    save.trigger();
    EXPECT_EQ(person.messages, Messages{"保存文件失败!"});
    EXPECT_EQ(directory.files().size(), 1u);

    line.reply(ReplyFrame(0, command::kDeleteRecords, Bytes{0}));
    press(RecordsDialog::kDeleteButton);
    EXPECT_FALSE(save.isEnabled());
}

// On the real chooser, a name typed without ".csv"; declining brings the chooser back.
TEST_F(RecordsDialogTest, SavingOverAnExistingFileIsAskedAboutFirst) {
    QtOperator screen;
    MainDialog onScreen{ports, clock, screen};
    RecordsDialog dialog{onScreen, LinkSettings{2, 9600, 0}};
    screen.setOwner(&dialog);
    line.reply(RecordCountFrame(1));
    Download(dialog);
    const std::filesystem::path existing = directory.path() / "bericht.csv";
    ASSERT_TRUE(WriteFileAtomically(existing, "kept"));

    // Plays the operator: types the name, answers the question, cancels a chooser shown again.
    const auto save = [&](QMessageBox::StandardButton answer) {
        Messages asked;
        int choosers = 0;
        QTimer atScreen;
        QObject::connect(&atScreen, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                asked.push_back(box->text().toStdString()), box->button(answer)->click();
            } else if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
                if (++choosers > 1) return chooser->reject();
                auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
                name->setText("bericht"), QTest::keyClick(name, Qt::Key_Return);
            }
        });
        atScreen.start(5);
        dialog.exportAction().trigger();
        return std::make_pair(asked, choosers);
    };
    EXPECT_EQ(save(QMessageBox::Cancel),
              std::make_pair(Messages{"bericht.csv 已存在。\n要替换它吗?"}, 2));
    EXPECT_EQ(testing::FileText(existing), "kept");
    EXPECT_EQ(save(QMessageBox::Ok).second, 1);
    EXPECT_TRUE(testing::FileText(existing).starts_with("\xEF\xBB\xBF"));
    EXPECT_EQ(directory.files().size(), 1u);
}

class RecordsE2eTest : public testing::SimulatorTest {
protected:
    const NoPainting m_noPainting;
    std::vector<sim::StoredRecord> held() {
        return host->withModel([](sim::InstrumentModel& model) { return model.records(); });
    }

    std::atomic<std::chrono::seconds> m_wall{std::chrono::seconds{1'700'000'000}};
    testing::RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};
    RecordsDialog records{window, LinkSettings{1, 9600, 0}};
    QTableWidget* table = records.control<QTableWidget>(RecordsDialog::kTable);
};

// At the line's real rate, so that the download waits for each record as it arrives.
TEST_F(RecordsE2eTest, EveryRecordTheInstrumentLoggedIsShownAsItHoldsIt) {
    sim::HostOptions paced;
    paced.pace = true;
    // The simulator as com1, its wall clock moved only by the test.
    startSimulator({}, paced,
                   [this] { return std::chrono::system_clock::time_point{m_wall.load()}; });
    m_wall = m_wall.load() + std::chrono::seconds{7 * 60 + 30};  // seven minutes pass
    EXPECT_EQ(Download(records), std::make_pair(7, 7));
    std::vector<std::vector<int>> expected, shown(7);  // the cells in tenths: the words held
    for (const sim::StoredRecord& record : held()) {
        std::vector<int>& words = expected.emplace_back();
        for (const TenthDegree word : record.digital)
            words.push_back(word.tenths());
        for (const TenthDegree word : record.pt100)
            words.push_back(word.tenths());
    }
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 2; column < table->columnCount(); ++column)
            shown.at(row).push_back(qRound(table->item(row, column)->text().toDouble() * 10));
    }
    EXPECT_EQ(shown, expected);
    records.trendAction().trigger();  // charts what was downloaded
    const TrendDialog* chart = records.findChild<TrendDialog*>();
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->status(), "7 个读数");
    QTest::mouseClick(records.control<QPushButton>(RecordsDialog::kDeleteButton), Qt::LeftButton);
    EXPECT_EQ(person.messages, Messages{"记录已全部删除!"});
    EXPECT_TRUE(held().empty());
}

}  // namespace
}  // namespace tavolex
