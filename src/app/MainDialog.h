// The main window: the scanner's front panel, built group by group by the controllers that run
// each group's operations, and the window values that the operations read. Operations run on
// the window's thread; while one waits for the instrument the window keeps painting and shows
// the busy cursor.
#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <filesystem>
#include <memory>
#include <span>

#include "ControlLocks.h"
#include "ControlsHost.h"
#include "DefaultActionDialog.h"
#include "DialogUnits.h"
#include "LinkContext.h"
#include "Operator.h"
#include "TemperatureReply.h"
#include "Transact.h"
#include "Translate.h"
#include "WindowValues.h"

class QAction;

namespace tavolex {

class ContinuousAcquisitionControls;
class ControlBuilder;
class DeviceClockControls;
class IdWipeControls;
class LowTemperatureCalibrationControls;
class PortChoice;
class ProbeRegistrationControls;
class RecordingIntervalControls;
class RegisteredDialog;
class RegistrationHelpDialog;
class SignalCountAndVersionControls;
class SingleReadingControls;
class TemperatureOffsetControls;
class TrendMonitor;
class WindowMenu;

class MainDialog final : public DefaultActionDialog, public ControlsHost {
    Q_OBJECT
public:
    // Validation messages of the window refresh.
    static constexpr std::string_view kNotAWholeNumber =
        TAVOLEX_TRANSLATABLE("MainDialog", "请输入一个整数。");

    // The window works through the given ports, time source and operator; all three must
    // outlive it.
    MainDialog(PortOpener& ports, Clock& clock, Operator& person, QWidget* parent = nullptr);
    ~MainDialog() override;

    // Window refresh: copies the controls into the values in the fixed order, stopping at the
    // first field that is not valid with its message and the focus in it.
    bool refresh();
    // Window update: shows the values in their controls.
    void updateControls() override;

    // An operation takes the window's settings through a refresh.
    bool takeSettings() override { return refresh(); }
    LinkSettings linkSettings() const override { return m_values.linkSettings(); }
    TraceTarget* traceTarget() const override { return m_traceTarget; }
    void setTraceTarget(TraceTarget* target) { m_traceTarget = target; }

    QWidget& owner() override { return *this; }
    WindowValues& values() override { return m_values; }
    const WindowValues& values() const { return m_values; }
    // The link for operations run from this window: its ports, its clock, and an idle hook
    // that keeps the window painting.
    const LinkContext& link() const override { return m_link; }
    Operator& person() override { return m_operator; }
    // The directory the program was started in.
    const std::filesystem::path& workingDirectory() const override { return m_workingDirectory; }
    QWidget* controlWidget(int id) const override { return control<QWidget>(id); }
    using DefaultActionDialog::control;
    std::unique_ptr<ControlLock> lockControls(LockedDuring run) override;
    // Who holds which control disabled while an operation runs.
    ControlLocks& controlLocks() { return m_controlLocks; }

    // The latest reading the channel lists show.
    TemperatureReply& temperatureReply();
    // Writes the temperature column of the three channel lists from the latest reply.
    void showTemperatures();
    // True between the start and the stop of a continuous acquisition.
    bool acquiring() const;
    ContinuousAcquisitionControls& continuousAcquisition() { return *m_acquisition; }
    DeviceClockControls& deviceClock() { return *m_deviceClock; }
    // Enables or disables the eight SN byte edits together.
    void setSnEditsEnabled(bool enabled);
    RegistrationHelpDialog& registrationHelp();
    RegisteredDialog& registeredPopup();
    // The port chooser, opened from the menu or by a double click on "串口号:".
    PortChoice& portChoice() { return *m_portChoice; }
    // Channel names, alarms, statistics and the trend window.
    TrendMonitor& trend() { return *m_trend; }
    // The "关于 TAVOLEX(&A)..." item of the window's menu.
    QAction& aboutAction() { return *m_aboutAction; }
    // The "PT100参数设置(&P)..." item of the window's menu.
    QAction& pt100Action() { return *m_pt100Action; }
    // The menu bar and the context menu.
    WindowMenu& menu() { return *m_menu; }

public slots:
    void openAboutBox();
    // The PT100 parameter window, modal; the trace follows it while it is open.
    void openPt100Dialog();
    // Closing stops a continuous acquisition and clears its counters.
    void done(int result) override;

protected:
    void defaultAction() override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    // Each group of controls is built by its controller, in the window's tab order.
    void buildControls();
    // The row "串口号:", "波特率:", "通信地址:".
    void buildLinkRow(ControlBuilder& make);
    void buildMenuActions();
    bool takeWholeNumber(int id, std::int32_t& value);
    void refuseField(int id, std::string_view message);

    const DialogUnits m_units;
    Operator& m_operator;
    LinkContext m_link;
    WindowValues m_values;
    TraceTarget* m_traceTarget = nullptr;
    std::filesystem::path m_workingDirectory;
    bool m_updating = false;
    ControlLocks m_controlLocks;

    QAction* m_aboutAction = nullptr;
    QAction* m_pt100Action = nullptr;
    WindowMenu* m_menu = nullptr;
    std::unique_ptr<TrendMonitor> m_trend;
    std::unique_ptr<SingleReadingControls> m_reading;
    std::unique_ptr<ProbeRegistrationControls> m_registration;
    std::unique_ptr<SignalCountAndVersionControls> m_signalCountAndVersion;
    std::unique_ptr<LowTemperatureCalibrationControls> m_calibration;
    std::unique_ptr<DeviceClockControls> m_deviceClock;
    std::unique_ptr<RecordingIntervalControls> m_recordingInterval;
    std::unique_ptr<IdWipeControls> m_idWipe;
    std::unique_ptr<PortChoice> m_portChoice;
    std::unique_ptr<TemperatureOffsetControls> m_offsets;
    // Last, so that it goes first: a run ends while the rest of the window still stands.
    std::unique_ptr<ContinuousAcquisitionControls> m_acquisition;
};

}  // namespace tavolex
