// A trend window: the chosen channels plotted against wall-clock time, beside a list of all
// channels with a check box each and their statistics over the span on screen. The live window
// follows the readings over a chosen span; a saved run's window shows a file or downloaded
// records. Both zoom and pan (TrendChart), read out the point under the mouse, save the
// picture and open saved runs from their context menu. The live window stays open while the
// main window works; readings only mark it out of date, and it redraws at most a few times a
// second from a decimated view of the history.
#pragma once

#include <QDialog>
#include <QList>
#include <QPointF>
#include <QTimer>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "ChannelAlarms.h"
#include "ChannelSettings.h"
#include "Operator.h"
#include "SavedRun.h"
#include "TrendHistory.h"

class QChart;
class QAction;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QTableWidget;
class QTableWidgetItem;
class QValueAxis;

namespace tavolex {

class TrendChart;

// What the window shows; owned by the main window's trend controller, or by a saved run's
// window itself.
struct TrendSources {
    const TrendHistory& history;
    const ChannelSettings& settings;
    const ChannelAlarms& alarms;
};

// A time span in milliseconds since the epoch, both ends included.
struct TimeSpan {
    std::int64_t fromMs = 0;
    std::int64_t toMs = 0;
    bool operator==(const TimeSpan&) const = default;
};

class TrendDialog final : public QDialog {
    Q_OBJECT
public:
    enum class Span { FiveMinutes, Hour, Day, All };
    enum Column : int {
        kChannelColumn,
        kMinColumn,
        kMaxColumn,
        kMeanColumn,
        kCountColumn,
        kAlarmColumn,
        kColumnCount
    };
    // The shortest time between two redraws.
    static constexpr int kRedrawIntervalMs = 250;

    // The live window.
    TrendDialog(const TrendSources& sources, Operator& person, QWidget* parent);
    ~TrendDialog() override;
    // A window of its own for a saved run, titled `title`, deleted when closed, showing the
    // channels that have values (the first eight of them).
    static TrendDialog* ForRun(SavedRun run, const QString& title, Operator& person,
                               QWidget* parent);

    void setChannelShown(int channel, bool shown);
    bool channelShown(int channel) const;
    bool anyChannelShown() const;
    void setSpan(Span span);
    // Marks the chart out of date; it redraws within the redraw interval, if it is visible.
    void scheduleRedraw();
    void redrawNow();

    // The span on screen; zooming fixes it until the whole span is asked for again.
    TimeSpan visibleSpan() const;
    void zoomTo(TimeSpan span);
    // Narrows (factor below 1) or widens the span about the time.
    void zoomAbout(std::int64_t centreMs, double factor);
    void panBy(std::int64_t byMs);
    // The whole run, or for the live window the chosen span following the readings.
    void showWholeSpan();
    bool zoomed() const { return m_zoom.has_value(); }
    // Reads out the sample nearest to the time and, among the channels shown, the value
    // nearest to `celsius`; the text is also shown under the chart.
    QString readoutAt(std::int64_t timeMs, double celsius);

    // The chart's picture at its size on screen, as PNG, or SVG for a name ending in ".svg";
    // written whole or not at all.
    bool saveImage(const std::filesystem::path& file);
    // "保存图片...": asks for the file, tells the operator when it cannot be written.
    void saveImageAs();
    // Reads the file on a worker thread behind a progress window (Escape cancels) and shows it
    // in a window of its own beside this one; tells the operator what could not be read.
    TrendDialog* openDataFile(const std::filesystem::path& file);
    // "打开数据文件(&O)...".
    void chooseDataFile();
    QAction& openAction() { return *m_openAction; }
    QAction& saveImageAction() { return *m_saveImageAction; }
    // Where the file choosers start.
    std::function<std::filesystem::path()> folder;

    void setStatus(const QString& text);
    QString status() const;

    QTableWidget& channelList() { return *m_list; }
    QChart& chart() { return *m_chart; }
    TrendChart& chartView() { return *m_view; }
    // The pieces of a channel's curve (one per stretch without a gap); the first carries the
    // legend entry.
    const std::vector<QLineSeries*>& curveOf(int channel) const { return m_curves.at(channel); }

signals:
    // "通道设置(&L)..." was pressed.
    void settingsRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct OwnedRun;
    TrendDialog(const TrendSources& sources, std::unique_ptr<OwnedRun> run, Operator& person,
                QWidget* parent);
    void buildChart();
    void buildActions();
    TimeSpan wholeSpan() const;
    void buildChannelList();
    void sizeListToColumns();
    void showTimeAxis(std::int64_t fromMs, std::int64_t toMs);
    void showExactTimeAxis(TimeSpan span);
    std::size_t displayBuckets() const;
    void listItemChanged(QTableWidgetItem* item);
    // The list's texts; its statistics over the span, where not known already.
    void updateList(TimeSpan span,
                    const std::array<std::optional<ChannelSummary>, kChannelCount>& known);
    // Shows the channel's curve, a piece for each stretch without a gap.
    void plotChannel(int channel, const std::vector<QList<QPointF>>& stretches);
    void removeCurve(int channel);
    QLineSeries* addPiece(int channel);

    TrendSources m_sources;
    Operator& m_person;
    std::unique_ptr<OwnedRun> m_run;
    Span m_span = Span::FiveMinutes;
    std::optional<TimeSpan> m_zoom;
    std::array<bool, kChannelCount> m_shown{};
    std::array<std::vector<QLineSeries*>, kChannelCount> m_curves;
    QTimer m_redrawTimer;
    bool m_filling = false;

    QTableWidget* m_list = nullptr;
    QComboBox* m_spanCombo = nullptr;
    QChart* m_chart = nullptr;
    TrendChart* m_view = nullptr;
    QLabel* m_readout = nullptr;
    QLabel* m_status = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_saveImageAction = nullptr;
    QDateTimeAxis* m_timeAxis = nullptr;
    QValueAxis* m_valueAxis = nullptr;
};

}  // namespace tavolex
