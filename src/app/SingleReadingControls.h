// The window's group "温度采集" as one reading uses it: the period field (1011), "采集" (1009),
// which reads every channel once, and the three channel lists (1008, 1015, 1029) that show the
// temperatures of every reading, single or continuous.
#pragma once

#include <QObject>

#include "TemperatureReply.h"

namespace tavolex {

class ControlBuilder;
class ControlsHost;
class TrendMonitor;

class SingleReadingControls final : public QObject {
public:
    // Every reading shown also goes to `trend`.
    SingleReadingControls(ControlsHost& host, TrendMonitor& trend) : m_host(host), m_trend(trend) {}

    // The group box, the period field and "采集", connected.
    void buildAcquireRow(ControlBuilder& make);
    // The three channel lists with their columns and rows.
    void buildLists(ControlBuilder& make);

    // "采集": one reading shown in the channel lists.
    void acquireOnce();
    // The latest reading the lists show.
    TemperatureReply& reply() { return m_reply; }
    // Writes the temperature column of the three channel lists from the latest reply.
    void showTemperatures();

private:
    ControlsHost& m_host;
    TrendMonitor& m_trend;
    TemperatureReply m_reply;
};

}  // namespace tavolex
