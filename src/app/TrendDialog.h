// The trend window: the chosen channels plotted against wall-clock time over a chosen span,
// beside a list of all channels with a check box each and their statistics since the run
// started. It stays open while the main window works; readings only mark it out of date, and
// it redraws at most a few times a second from a decimated view of the history.
#pragma once

#include <QDialog>
#include <QList>
#include <QPointF>
#include <QTimer>
#include <array>
#include <vector>

#include "ChannelAlarms.h"
#include "ChannelSettings.h"
#include "ChannelStatistics.h"
#include "TrendHistory.h"

class QChart;
class QChartView;
class QComboBox;
class QDateTimeAxis;
class QLineSeries;
class QTableWidget;
class QTableWidgetItem;
class QValueAxis;

namespace tavolex {

// What the window shows; owned by the main window's trend controller.
struct TrendSources {
    const TrendHistory& history;
    const ChannelSettings& settings;
    const ChannelStatistics& statistics;
    const ChannelAlarms& alarms;
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

    TrendDialog(const TrendSources& sources, QWidget* parent);
    ~TrendDialog() override;

    void setChannelShown(int channel, bool shown);
    bool channelShown(int channel) const;
    bool anyChannelShown() const;
    void setSpan(Span span);
    // Marks the chart out of date; it redraws within the redraw interval, if it is visible.
    void scheduleRedraw();
    void redrawNow();

    QTableWidget& channelList() { return *m_list; }
    QChart& chart() { return *m_chart; }
    // The pieces of a channel's curve (one per stretch without a gap); the first carries the
    // legend entry.
    const std::vector<QLineSeries*>& curveOf(int channel) const { return m_curves.at(channel); }

signals:
    // "通道设置(&L)..." was pressed.
    void settingsRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildChannelList();
    void sizeListToColumns();
    void showTimeAxis(std::int64_t fromMs, std::int64_t toMs);
    void listItemChanged(QTableWidgetItem* item);
    void updateList();
    // Plots the channel from the time on; widens the value range by what it drew.
    void plotChannel(int channel, std::int64_t fromMs, double& low, double& high);
    void removeCurve(int channel);
    QLineSeries* addPiece(int channel);

    TrendSources m_sources;
    Span m_span = Span::FiveMinutes;
    std::array<bool, kChannelCount> m_shown{};
    std::array<std::vector<QLineSeries*>, kChannelCount> m_curves;
    QTimer m_redrawTimer;
    bool m_filling = false;

    QTableWidget* m_list = nullptr;
    QComboBox* m_spanCombo = nullptr;
    QChart* m_chart = nullptr;
    QChartView* m_view = nullptr;
    QDateTimeAxis* m_timeAxis = nullptr;
    QValueAxis* m_valueAxis = nullptr;
};

}  // namespace tavolex
