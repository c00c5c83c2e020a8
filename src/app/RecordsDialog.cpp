#include "RecordsDialog.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <utility>

#include "AtomicFile.h"
#include "BusyCursor.h"
#include "ControlBuilder.h"
#include "ControlsHost.h"
#include "RecordDownloadWorker.h"
#include "RecordTexts.h"
#include "RecordsTrend.h"
#include "ScannerApp.h"
#include "ShownText.h"
#include "Translate.h"
#include "Translations.h"
#include "TrendDialog.h"
#include "WaitDialog.h"

namespace tavolex {

namespace {

constexpr int kPointSize = 9;
constexpr int kWidthUnits = 563;
constexpr int kHeightUnits = 365;
// A column's width at 96 dpi: the row label, the time, the channels, the PT100 channels.
int ColumnWidthPx(int column) {
    if (column == 0) return 70;
    if (column == 1) return 140;
    return column < kFirstPt100Column ? 60 : 74;
}

// The time stamp of a row read whole, kept with its time cell for the CSV file.
constexpr int kStampRole = Qt::UserRole;

QString CountCaption() {
    return Tr("RecordsDialog", "记录条数");
}

// The time stamp kept with a time cell; none for a row that was not read whole.
std::optional<DeviceTimestamp> StampOf(const QTableWidgetItem* item) {
    const QByteArray data = item->data(kStampRole).toByteArray();
    if (data.size() != static_cast<qsizetype>(DeviceTimestamp::kSize)) return std::nullopt;
    DeviceTimestamp::Bytes7 bytes{};
    std::copy(data.begin(), data.end(), bytes.begin());
    return DeviceTimestamp(bytes);
}

}  // namespace

void RecordsDialog::Open(ControlsHost& window) {
    if (!window.takeSettings()) return;
    RecordsDialog dialog(window, window.linkSettings());
    dialog.exec();
}

RecordsDialog::RecordsDialog(ControlsHost& window, const LinkSettings& settings)
    : DefaultActionDialog(&window.owner(), Qt::Dialog | Qt::WindowTitleHint |
                                               Qt::WindowSystemMenuHint |
                                               Qt::WindowCloseButtonHint),
      m_window(window),
      m_settings(settings) {
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    setFont(ScannerApp::DialogFont(kPointSize));
    setWindowTitle(Tr("RecordsDialog", "记录"));
    setMinimumSize(units.size(kWidthUnits, kHeightUnits));
    buildControls();
    setUpTable();
}

RecordsDialog::~RecordsDialog() {
    // The worker writes rows into this window; it ends before the window does.
    m_worker.reset();
    // The table outlives this part of the window and empties its model as it goes: its row
    // signals must no longer reach the export action's handler here.
    m_table->model()->disconnect(this);
}

void RecordsDialog::buildControls() {
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    ControlBuilder make(*this, units);
    m_table = make.list(kTable, {7, 7, 549, 321}, Tr("RecordsDialog", "记录"));
    make.button(kReadCountButton, Tr("RecordsDialog", "读取"), {20, 337, 32, 14});
    m_countLabel = make.identified(new QLabel(this), kCountLabel, {55, 340, 66, 8}, QString());
    m_countLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    ShowValue(m_countLabel, CountCaption());
    make.button(kDownloadButton, Tr("RecordsDialog", "读取记录内容"), {126, 337, 53, 14});
    make.group(QString(), {7, 325, 186, 33});
    make.button(kDeleteButton, Tr("RecordsDialog", "删除数据记录"), {201, 337, 57, 14});
    m_tablePlace = m_table->geometry();
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control != m_table) m_belowTable.emplace_back(control, control->geometry());
    }

    const auto onClick = [this](int id, void (RecordsDialog::*action)()) {
        connect(control<QPushButton>(id), &QPushButton::clicked, this, action);
    };
    onClick(kReadCountButton, &RecordsDialog::readCount);
    onClick(kDownloadButton, &RecordsDialog::download);
    onClick(kDeleteButton, &RecordsDialog::deleteRecords);

    m_export = new QAction(Tr("RecordsDialog", "导出CSV..."), this);
    m_export->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_export->setEnabled(false);
    connect(m_export, &QAction::triggered, this, &RecordsDialog::exportCsv);
    addAction(m_export);
    m_table->addAction(m_export);
    m_trend = new QAction(Tr("RecordsDialog", "趋势图(&T)..."), this);
    m_trend->setEnabled(false);
    connect(m_trend, &QAction::triggered, this, &RecordsDialog::showTrend);
    m_table->addAction(m_trend);
    m_table->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void RecordsDialog::resizeEvent(QResizeEvent* event) {
    DefaultActionDialog::resizeEvent(event);
    if (m_table == nullptr) return;
    const QSize grown = size() - minimumSize();
    m_table->setGeometry(m_tablePlace.adjusted(0, 0, grown.width(), grown.height()));
    for (const auto& [control, place] : m_belowTable)
        control->move(place.left(), place.top() + grown.height());
}

void RecordsDialog::setUpTable() {
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    const std::vector<std::string> headings = RecordHeadings();
    m_table->setColumnCount(static_cast<int>(headings.size()));
    for (int column = 0; column < m_table->columnCount(); ++column) {
        m_table->setHorizontalHeaderItem(
            column, new QTableWidgetItem(FromUtf8(headings[static_cast<std::size_t>(column)])));
        m_table->setColumnWidth(column, units.pixels(ColumnWidthPx(column)));
    }
    m_table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    const auto followRows = [this] {
        m_export->setEnabled(m_table->rowCount() > 0);
        m_trend->setEnabled(m_table->rowCount() > 0);
    };
    connect(m_table->model(), &QAbstractItemModel::rowsInserted, this, followRows);
    connect(m_table->model(), &QAbstractItemModel::rowsRemoved, this, followRows);
    connect(m_table->model(), &QAbstractItemModel::modelReset, this, followRows);
}

void RecordsDialog::showCount(int count) {
    m_state.total = count;
    ShowValue(m_countLabel, CountCaption() + QStringLiteral(":%1").arg(count));
}

void RecordsDialog::readCount() {
    Outcome<RecordCount> counted;
    {
        const BusyCursor busy;
        OperationContext context(m_settings, m_window.link(), m_window.person());
        counted = CountStoredRecords(context);
    }
    if (counted) showCount(counted->count);
}

void RecordsDialog::download() {
    Outcome<RecordCount> counted;
    {
        const BusyCursor busy;
        OperationContext context(m_settings, m_window.link(), m_window.person());
        counted = CountStoredRecords(context);
    }
    if (!counted) return;
    PortHandle port = std::move(counted->port);
    showCount(counted->count);
    if (counted->count == 0) {
        port.reset();
        m_window.person().message(Translate("StoredRecords", kReadCountFirst.data()));
        return;
    }
    clearTable();
    RecordSink& rows = *this;
    m_worker = std::make_unique<RecordDownloadWorker>(
        rows, m_state, std::move(port), linkSettings().addressByte(), m_window.link());
    {
        WaitDialog wait(this, m_state, *m_worker);
        wait.exec();
    }
    const std::unique_ptr<RecordDownloadWorker> worker = std::move(m_worker);
    worker->waitUntilEnded();
    if (m_closeAfterDownload) QDialog::done(*std::exchange(m_closeAfterDownload, std::nullopt));
}

void RecordsDialog::deleteRecords() {
    Outcome<> deleted;
    {
        const BusyCursor busy;
        OperationContext context(m_settings, m_window.link(), m_window.person());
        deleted = DeleteStoredRecords(context);
    }
    if (deleted) clearTable();
}

void RecordsDialog::showRecord(int number, const std::optional<StoredRecord>& record) {
    const std::vector<std::string> texts = RecordRowTexts(number, record);
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    for (int column = 0; column < m_table->columnCount(); ++column) {
        auto* item = new QTableWidgetItem(FromUtf8(texts[static_cast<std::size_t>(column)]));
        m_table->setItem(row, column, item);
    }
    if (record) {
        m_downloaded.push_back(*record);
        const auto& bytes = record->stamp.bytes();
        m_table->item(row, kRecordTimeColumn)
            ->setData(kStampRole, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<qsizetype>(bytes.size())));
    }
}

void RecordsDialog::clearTable() {
    m_table->setRowCount(0);
    m_downloaded.clear();
}

std::optional<DeviceTimestamp> RecordsDialog::firstValidStamp() const {
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const std::optional<DeviceTimestamp> stamp = StampOf(m_table->item(row, kRecordTimeColumn));
        if (stamp && stamp->isRealDateTime()) return stamp;
    }
    return std::nullopt;
}

void RecordsDialog::exportCsv() {
    if (m_table->rowCount() == 0) return;
    const FileChoice choice{"CSV (*.csv)",
                            m_window.workingDirectory() / RecordsCsvName(firstValidStamp()), "csv"};
    const std::optional<std::filesystem::path> file = m_window.person().chooseSaveFile(choice);
    if (!file) return;

    std::vector<std::string> headings;
    for (int column = 0; column < m_table->columnCount(); ++column)
        headings.push_back(m_table->horizontalHeaderItem(column)->text().toStdString());
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        std::vector<std::string>& fields = rows.emplace_back();
        for (int column = 0; column < m_table->columnCount(); ++column) {
            const QTableWidgetItem* item = m_table->item(row, column);
            const std::optional<DeviceTimestamp> stamp = StampOf(item);
            fields.push_back(stamp && stamp->isRealDateTime() ? stamp->dateTimeText()
                                                              : item->text().toStdString());
        }
    }
    if (!WriteFileAtomically(*file, CsvText(headings, rows))) {
        m_window.person().message(RecordsSaveFailedMessage());
    }
}

TrendDialog* RecordsDialog::showTrend() {
    if (m_table->rowCount() == 0) return nullptr;
    // A child of this window: the records window is modal, and a window beside it would take
    // no input.
    TrendDialog* trend = TrendDialog::ForRun(
        RunOfRecords(m_downloaded), Tr("RecordsDialog", "记录的趋势图"), m_window.person(), this);
    trend->folder = [this] { return m_window.workingDirectory(); };
    trend->show();
    return trend;
}

void RecordsDialog::done(int result) {
    if (m_worker) {
        // The download's own handler closes the window once its worker has ended.
        m_worker->requestStop();
        m_closeAfterDownload = result;
        return;
    }
    QDialog::done(result);
}

}  // namespace tavolex
