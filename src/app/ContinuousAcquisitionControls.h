// The main window's continuous acquisition: the "连续采集" button, the state shared with the
// worker, the window's side of the worker's calls, and the record options that the window's
// menu shows or hides.
#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "AcquisitionLoop.h"
#include "Translate.h"

class QAction;
class QLabel;
class QMessageBox;
class QWidget;

namespace tavolex {

class AcquisitionWorker;
class ControlBuilder;
class ControlLock;
class ControlsHost;
class SingleReadingControls;
class TrendMonitor;

class ContinuousAcquisitionControls final : private AcquisitionObserver {
public:
    // Runs through the window's ports and clock; every reading is shown through `display`
    // and goes to `trend`.
    ContinuousAcquisitionControls(ControlsHost& host, SingleReadingControls& display,
                                  TrendMonitor& trend);
    // Ends a run the way end() does.
    ~ContinuousAcquisitionControls() override;

    ContinuousAcquisitionControls(const ContinuousAcquisitionControls&) = delete;
    ContinuousAcquisitionControls& operator=(const ContinuousAcquisitionControls&) = delete;

    // "连续采集" and the two counters, connected.
    void buildRunControls(ControlBuilder& make);
    // The record options, hidden until the menu shows them: "保存日志" (1061) and the record
    // period (1060) with its caption.
    void buildRecordOptions(ControlBuilder& make);

    // The button: starts or stops a run, or refuses a period below the minimum.
    void press();
    // The window is going away: stops the run, waits for its worker while serving the
    // worker's calls, and resets the button and the counters.
    void end();

    bool acquiring() const { return m_acquiring; }
    // The menu item "显示保存选项(&R)": shows or hides the record controls.
    QAction& recordOptionsAction() { return *m_recordOptions; }

    // Shows the worker's one message. It has no owner window, so the main window stays
    // usable while it shows; by default a box with the platform's own caption.
    std::function<void(std::string_view)> ownerlessMessage;
    // The wall clock of the records of the runs started from now on; empty: the system's.
    std::function<std::time_t()> wallTime;

private:
    AcquisitionSettings fetchSettings() override;
    void showResult(bool success, int count) override;
    void reportOpenFailure() override;

    void start();
    void stop();
    // Stops the run and resets the button, the counters and the locks; the fields keep what
    // they show.
    void haltRun();
    // The previous run's worker, asked to stop already, has ended and is gone.
    void finishWorker();
    void takeRecordOptions();
    void setButtonCaption(const QString& caption);
    void clearCounters();
    void showRecordOptions(bool shown);
    void showOwnerlessBox(std::string_view text);

    ControlsHost& m_host;
    SingleReadingControls& m_display;
    TrendMonitor& m_trend;
    AcquisitionShared m_shared;
    // What the run's worker opens, for the reason its open failed.
    LinkSettings m_runLink;
    std::unique_ptr<AcquisitionWorker> m_worker;
    std::unique_ptr<ControlLock> m_runLock;
    bool m_acquiring = false;
    QAction* m_recordOptions = nullptr;
    QMetaObject::Connection m_pressConnection;
    QLabel* m_recordPeriodCaption = nullptr;
    std::vector<QPointer<QMessageBox>> m_boxes;
};

}  // namespace tavolex
