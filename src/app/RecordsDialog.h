// The records window: counts, downloads and deletes the records the instrument logged by
// itself, and saves the downloaded table as a CSV file. It works with the link settings it was
// opened with and opens its own port for each action; a download hands that port to a worker
// thread and waits in a modal progress window until the worker has ended.
#pragma once

#include <QRect>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "DefaultActionDialog.h"
#include "LinkSettings.h"
#include "RecordDownload.h"

class QAction;
class QLabel;
class QTableWidget;

namespace tavolex {

class ControlsHost;
class RecordDownloadWorker;
class TrendDialog;

class RecordsDialog final : public DefaultActionDialog, private RecordSink {
    Q_OBJECT
public:
    enum ControlId : int {
        kTable = 1008,
        kReadCountButton = 1078,
        kCountLabel = 1079,
        kDownloadButton = 1028,
        kDeleteButton = 1068,
    };

    // "查看记录": takes the main window's fields and, unless one is refused, runs the records
    // window modally with the link settings they hold.
    static void Open(ControlsHost& window);

    RecordsDialog(ControlsHost& window, const LinkSettings& settings);
    // A download still running is stopped and waited for first.
    ~RecordsDialog() override;

    LinkSettings linkSettings() const { return m_settings.linkSettings(); }
    // The count from the last good count reply; 0 before any.
    int total() const { return m_state.total; }
    // "导出CSV...", in the table's context menu and on Ctrl+S.
    QAction& exportAction() { return *m_export; }
    // "趋势图(&T)...", in the table's context menu.
    QAction& trendAction() { return *m_trend; }

    // "读取".
    void readCount();
    // "读取记录内容".
    void download();
    // "删除数据记录".
    void deleteRecords();
    // "导出CSV...".
    void exportCsv();
    // "趋势图(&T)...": the records downloaded so far in a trend window of their own.
    TrendDialog* showTrend();
    // Closing during a download stops it; the window goes once the worker has ended.
    void done(int result) override;

protected:
    // The table takes what the window grows by; the controls below it move down with its end.
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void setUpTable();
    void showCount(int count);
    void showRecord(int number, const std::optional<StoredRecord>& record) override;
    void clearTable();
    std::optional<DeviceTimestamp> firstValidStamp() const;

    ControlsHost& m_window;
    // The main window's settings as they were when the window opened.
    FixedSettings m_settings;
    RecordTransferState m_state;
    QTableWidget* m_table = nullptr;
    QLabel* m_countLabel = nullptr;
    // The controls below the table with their places at the window's smallest size.
    std::vector<std::pair<QWidget*, QRect>> m_belowTable;
    QRect m_tablePlace;
    QAction* m_export = nullptr;
    QAction* m_trend = nullptr;
    // The records read whole, for the trend.
    std::vector<StoredRecord> m_downloaded;
    std::unique_ptr<RecordDownloadWorker> m_worker;
    // A close asked for while a download ran: its result, applied once the worker has ended.
    std::optional<int> m_closeAfterDownload;
};

}  // namespace tavolex
