// The main window: every control of the scanner's front panel, the window values that the
// operations read, and the operations themselves. Operations run on the window's thread; while
// one waits for the instrument the window keeps painting and shows the busy cursor.
#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <filesystem>
#include <memory>
#include <span>

#include "ControlLocks.h"
#include "DefaultActionDialog.h"
#include "DialogUnits.h"
#include "LinkContext.h"
#include "Operator.h"
#include "TemperatureReply.h"
#include "Transact.h"
#include "Translate.h"
#include "WindowValues.h"

class QAction;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tavolex {

class ContinuousAcquisition;
class WindowMenu;
class LowTemperatureCalibration;
class DeviceClockControls;
class IdWipeControl;
class RecordingIntervalControls;
class PortChoice;
class RegisteredDialog;
class RegistrationHelpDialog;
class SignalCountAndVersion;
class TemperatureOffsets;
class TrendMonitor;

class MainDialog final : public DefaultActionDialog, public TransactionHost {
    Q_OBJECT
public:
    // The window's controls; each control's ID is also its object name.
    enum ControlId : int {
        kPortEdit = 1000,
        kBaudList = 1001,
        kAddressEdit = 1002,
        kSignalCountEdit = 1003,
        kSetSignalCountButton = 1004,
        kRegistrationChannelEdit = 1005,
        kRegisterButton = 1006,
        kSnReadChannelEdit = 1007,
        kLowChannelList = 1008,
        kAcquireButton = 1009,
        kContinuousButton = 1010,
        kPeriodEdit = 1011,
        kSuccessCountLabel = 1012,
        kFailureCountLabel = 1013,
        kReadSnButton = 1014,
        kHighChannelList = 1015,
        kSemiAutomaticRadio = 1020,
        kManualRadio = 1021,
        kFullyAutomaticRadio = 1026,
        kFileRegisterButton = 1027,
        kPt100Button = 1028,
        kPt100List = 1029,
        kOffsetEdit = 1048,
        kReadOffsetsButton = 1049,
        kSetOffsetButton = 1050,
        kCalibrateButton = 1051,
        kVersionLabel = 1053,
        kOffsetChannelList = 1054,
        kResistorCombo = 1055,
        kProbeTypeCombo = 1056,
        kRecordPeriodEdit = 1060,
        kSaveLogCheck = 1061,
        kYearEdit = 1062,  // to kSecondEdit = 1067
        kReadClockButton = 1068,
        kSetClockButton = 1069,
        kReadLogButton = 1070,
        kPortARadio = 1072,
        kPortBRadio = 1073,
        kDeleteIdsButton = 1074,
        kHelpLabel = 1076,
        kViewRecordsButton = 1077,
        kIntervalEdit = 1080,
        kReadIntervalButton = 1081,
        kSetIntervalButton = 1082,
    };
    // The eight SN byte edits in byte order: 1016-1019, then 1022-1025.
    static constexpr std::array<int, kSnBytes> kSnEdits = {1016, 1017, 1018, 1019,
                                                           1022, 1023, 1024, 1025};

    // Validation messages of the window refresh.
    static constexpr std::string_view kNotAWholeNumber =
        TAVOLEX_TRANSLATABLE("MainDialog", "请输入一个整数。");
    static constexpr std::string_view kSnReadChannelRange =
        TAVOLEX_TRANSLATABLE("MainDialog", "请输入一个介于 0 和 64 之间的整数。");

    // The window works through the given ports, time source and operator; all three must
    // outlive it.
    MainDialog(PortOpener& ports, Clock& clock, Operator& person, QWidget* parent = nullptr);
    ~MainDialog() override;

    // Window refresh: copies the controls into the values in the fixed order, stopping at the
    // first field that is not valid with its message and the focus in it.
    bool refresh() override;
    // Window update: shows the values in their controls.
    void updateControls();

    LinkSettings linkSettings() const override { return m_values.linkSettings(); }
    TraceTarget* traceTarget() const override { return m_traceTarget; }
    void setTraceTarget(TraceTarget* target) { m_traceTarget = target; }

    WindowValues& values() { return m_values; }
    const WindowValues& values() const { return m_values; }
    // The link for operations run from this window: its ports, its clock, and an idle hook
    // that keeps the window painting.
    const LinkContext& link() const { return m_link; }
    Operator& person() { return m_operator; }
    // The directory the program was started in.
    const std::filesystem::path& workingDirectory() const { return m_workingDirectory; }
    TemperatureReply& temperatureReply() { return m_temperatureReply; }
    // True between the start and the stop of a continuous acquisition.
    bool acquiring() const;
    ContinuousAcquisition& continuousAcquisition() { return *m_acquisition; }
    DeviceClockControls& deviceClock() { return *m_deviceClock; }
    // The port chooser, opened from the menu or by a double click on "串口号:".
    PortChoice& portChoice() { return *m_portChoice; }
    // Channel names, alarms, statistics and the trend window.
    TrendMonitor& trend() { return *m_trend; }

    // Who holds which control disabled while an operation runs.
    ControlLocks& controlLocks() { return m_controlLocks; }
    // A lock on the controls with these IDs, held until it is released or destroyed.
    std::unique_ptr<ControlLock> lockControls(std::span<const int> ids);
    // Enables or disables the eight SN byte edits together.
    void setSnEditsEnabled(bool enabled);

    // Writes the temperature column of the three channel lists from the latest reply.
    void showTemperatures();

    RegistrationHelpDialog& registrationHelp() { return *m_registrationHelp; }
    RegisteredDialog& registeredPopup() { return *m_registeredPopup; }
    // The "关于 TAVOLEX(&A)..." item of the window's menu.
    QAction& aboutAction() { return *m_aboutAction; }
    // The "PT100参数设置(&P)..." item of the window's menu.
    QAction& pt100Action() { return *m_pt100Action; }
    // The menu bar and the context menu.
    WindowMenu& menu() { return *m_menu; }

public slots:
    // "采集": one reading shown in the channel lists.
    void acquireOnce();
    // "注册": binds a probe to the registration channel in the chosen mode.
    void registerProbe();
    // "读取" beside "读取SN号:": the channel's probe onto the clipboard.
    void readProbeSn();
    // "文件注册": registers every line of a file the operator chooses.
    void registerFromFile();
    void openAboutBox();
    // The PT100 parameter window, modal; the trace follows it while it is open.
    void openPt100Dialog();
    // Closing stops a continuous acquisition and clears its counters.
    void done(int result) override;

protected:
    void defaultAction() override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void buildControls();
    void setUpChannelLists();
    // Enables the registration fields that the mode (0 semi-automatic, 1 manual, 2 fully
    // automatic) uses.
    void applyRegistrationMode(int mode);
    bool takeWholeNumber(int id, std::int32_t& value);
    void refuseField(int id, std::string_view message);

    const DialogUnits m_units;
    Operator& m_operator;
    LinkContext m_link;
    WindowValues m_values;
    TemperatureReply m_temperatureReply;
    TraceTarget* m_traceTarget = nullptr;
    std::filesystem::path m_workingDirectory;
    bool m_updating = false;
    QRect m_helpHotArea;
    ControlLocks m_controlLocks;

    QButtonGroup* m_modeGroup = nullptr;
    QButtonGroup* m_probePortGroup = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_pt100Action = nullptr;
    WindowMenu* m_menu = nullptr;
    RegistrationHelpDialog* m_registrationHelp = nullptr;
    RegisteredDialog* m_registeredPopup = nullptr;
    std::unique_ptr<SignalCountAndVersion> m_signalCountAndVersion;
    std::unique_ptr<TemperatureOffsets> m_offsets;
    std::unique_ptr<LowTemperatureCalibration> m_calibration;
    std::unique_ptr<DeviceClockControls> m_deviceClock;
    std::unique_ptr<RecordingIntervalControls> m_recordingInterval;
    std::unique_ptr<IdWipeControl> m_idWipe;
    std::unique_ptr<PortChoice> m_portChoice;
    std::unique_ptr<TrendMonitor> m_trend;
    // Last, so that it goes first: a run ends while the rest of the window still stands.
    std::unique_ptr<ContinuousAcquisition> m_acquisition;
};

}  // namespace tavolex
