// The main window's view of its readings beyond the channel lists: channel names shown in the
// lists, alarm limits that colour a row and raise a desktop notification, statistics per run,
// the history of every reading and the trend window that plots it. Every reading that the
// window shows, from "采集" or from a continuous run, passes through here on the window's
// thread; the work per reading is small and the trend window draws on a timer of its own.
#pragma once

#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ChannelAlarms.h"
#include "ChannelSettings.h"
#include "ChannelStatistics.h"
#include "TemperatureReply.h"
#include "TrendHistory.h"

class QAction;

namespace tavolex {

class ControlsHost;
class TrendDialog;

class TrendMonitor final {
public:
    // Loads the channel settings, names the lists' rows and makes a double click on a row add
    // its channel to the trend.
    explicit TrendMonitor(ControlsHost& window);
    ~TrendMonitor();

    // Shows the channel names in the window's lists, once they are built, and adds a row to
    // the trend on a double click.
    void attachLists();

    TrendMonitor(const TrendMonitor&) = delete;
    TrendMonitor& operator=(const TrendMonitor&) = delete;

    // A verified reading that the lists now show.
    void takeReading(const TemperatureReply& reply);
    // A reading that failed: a gap in the history.
    void takeFailure();
    // A continuous run starts: statistics and alarms start afresh.
    void startRun();

    // The trend window, made on first use and shown without blocking the main window. When it
    // shows no channel, the first eight that the last reading carried are ticked.
    TrendDialog& openTrend();
    void addToTrend(int channel);
    // The names and limits table; what it confirms is stored and shown at once.
    void editSettings();
    void applySettings(const ChannelSettings& settings);
    // The window closes: so does the trend window.
    void closeTrend();

    // The heading line of the comma-separated record file, with today's channel names.
    std::string csvHeading() const;

    const ChannelSettings& settings() const { return m_settings; }
    const ChannelAlarms& alarms() const { return m_alarms; }
    const ChannelStatistics& statistics() const { return m_statistics; }
    const TrendHistory& history() const { return m_history; }
    TrendDialog* trendDialog() const;
    // The menu items "趋势图(&T)..." and "通道设置(&L)...".
    QAction& trendAction() { return *m_trendAction; }
    QAction& settingsAction() { return *m_settingsAction; }

    // Where an alarm is announced; by default a desktop notification.
    std::function<void(const QString& summary, const QString& body)> notify;
    // Wall-clock milliseconds of a reading; by default the system's.
    std::function<std::int64_t()> nowMs;
    // The settings file; by default the one in the user's configuration folder.
    QString settingsFile;

private:
    TrendDialog& showTrendWindow();
    void showLabels();
    void colourRow(int channel, bool alarm);
    void announce(int channel, int tenths);
    void redrawTrend();

    ControlsHost& m_window;
    ChannelSettings m_settings;
    ChannelAlarms m_alarms;
    // The channels the last good reading carried, in the window's order.
    std::vector<int> m_lastCarried;
    ChannelStatistics m_statistics;
    TrendHistory m_history;
    QPointer<TrendDialog> m_dialog;
    QAction* m_trendAction = nullptr;
    QAction* m_settingsAction = nullptr;
};

}  // namespace tavolex
