#include "MainDialog.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <optional>
#include <system_error>

#include "AboutDialog.h"
#include "ContinuousAcquisitionControls.h"
#include "ControlBuilder.h"
#include "DeviceClockControls.h"
#include "IdWipeControls.h"
#include "LowTemperatureCalibrationControls.h"
#include "PortChoice.h"
#include "ProbeRegistration.h"
#include "ProbeRegistrationControls.h"
#include "Pt100Dialog.h"
#include "RecordingIntervalControls.h"
#include "RecordsDialog.h"
#include "ScannerApp.h"
#include "ShownText.h"
#include "SignalCountAndVersionControls.h"
#include "SingleReadingControls.h"
#include "SystemMenu.h"
#include "TemperatureOffsetControls.h"
#include "Translate.h"
#include "Translations.h"
#include "TrendMonitor.h"
#include "WindowMenu.h"
#include "WindowWait.h"

namespace tavolex {

namespace {

constexpr int kPointSize = 9;
constexpr int kWidthUnits = 561;
constexpr int kHeightUnits = 411;

QButtonGroup& GroupOf(const MainDialog& window, int radioId) {
    return *window.control<QRadioButton>(radioId)->group();
}

}  // namespace

MainDialog::MainDialog(PortOpener& ports, Clock& clock, Operator& person, QWidget* parent)
    : DefaultActionDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                      Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                      Qt::WindowCloseButtonHint),
      m_units(DialogUnits::ForPointSize(kPointSize)),
      m_operator(person),
      m_link{ports,
             clock,
             [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); },
             {},
             WaitKeepingWindowPainted} {
    setFont(ScannerApp::DialogFont(kPointSize));
    setWindowTitle(Tr("MainDialog", "温度巡检仪  KORVA VELTA-2 Ver3.2"));
    setWindowIcon(ScannerApp::Icon());
    setFixedSize(m_units.size(kWidthUnits, kHeightUnits));
    setMouseTracking(true);

    std::error_code error;
    m_workingDirectory = std::filesystem::current_path(error);

    m_trend = std::make_unique<TrendMonitor>(*this);
    m_reading = std::make_unique<SingleReadingControls>(*this, *m_trend);
    m_acquisition = std::make_unique<ContinuousAcquisitionControls>(*this, *m_reading, *m_trend);
    m_registration = std::make_unique<ProbeRegistrationControls>(*this);
    m_signalCountAndVersion = std::make_unique<SignalCountAndVersionControls>(*this);
    m_calibration = std::make_unique<LowTemperatureCalibrationControls>(*this);
    m_offsets = std::make_unique<TemperatureOffsetControls>(*this, *m_acquisition);
    m_deviceClock = std::make_unique<DeviceClockControls>(*this);
    m_recordingInterval = std::make_unique<RecordingIntervalControls>(*this);
    m_idWipe = std::make_unique<IdWipeControls>(*this);
    buildControls();
    m_trend->attachLists();
    m_portChoice = std::make_unique<PortChoice>(*this);
    buildMenuActions();
    m_menu = new WindowMenu(*this);

    m_values.probePort = 0;
    updateControls();
    control<QLineEdit>(kPortEdit)->setFocus();
}

MainDialog::~MainDialog() = default;

void MainDialog::buildControls() {
    ControlBuilder make(*this, m_units);
    buildLinkRow(make);
    m_deviceClock->build(make);
    m_signalCountAndVersion->buildCountRow(make);
    m_registration->buildSnReadRow(make);
    m_registration->buildGroup(make);
    m_calibration->build(make);
    m_offsets->build(make);
    m_reading->buildAcquireRow(make);
    m_acquisition->buildRunControls(make);
    m_reading->buildLists(make);
    m_idWipe->build(make);
    QPushButton* records =
        make.button(kViewRecordsButton, Tr("MainDialog", "查看记录"), {11, 391, 50, 14});
    connect(records, &QPushButton::clicked, this, [this] { RecordsDialog::Open(*this); });
    m_recordingInterval->build(make);
    m_signalCountAndVersion->buildVersionLabel(make);
    m_registration->buildHelpLabel(make);

    // Controls that the program never shows (the record options only from the menu).
    QPushButton* pt100 =
        make.button(kPt100Button, Tr("MainDialog", "PT100参数设置"), {115, 373, 21, 7});
    pt100->hide();
    connect(pt100, &QPushButton::clicked, this, &MainDialog::openPt100Dialog);
    m_acquisition->buildRecordOptions(make);
    make.button(kReadLogButton, Tr("MainDialog", "读取日志"), {118, 382, 15, 6})->hide();
}

void MainDialog::buildLinkRow(ControlBuilder& make) {
    make.group(QString(), {0, 0, 219, 35});
    make.text(Tr("MainDialog", "串口号:"), {7, 12, 28, 8});
    make.edit(kPortEdit, {36, 10, 28, 14}, Tr("MainDialog", "串口号:"));
    make.text(Tr("MainDialog", "波特率:"), {70, 12, 28, 8});
    QComboBox* baud = make.combo(kBaudList, {99, 10, 44, 14}, Tr("MainDialog", "波特率:"),
                                 {QStringLiteral("1200"), QStringLiteral("9600"),
                                  QStringLiteral("19200"), QStringLiteral("38400")},
                                 false);
    make.text(Tr("MainDialog", "通信地址:"), {149, 12, 36, 8});
    make.edit(kAddressEdit, {186, 10, 26, 14}, Tr("MainDialog", "通信地址:"));
    connect(baud, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_updating) refresh();
    });
}

void MainDialog::buildMenuActions() {
    m_aboutAction = new QAction(Tr("MainDialog", "关于 TAVOLEX(&A)..."), this);
    connect(m_aboutAction, &QAction::triggered, this, &MainDialog::openAboutBox);
    AddAboutToSystemMenu(*this, m_aboutAction->text());
    // The hidden button 1028 would open it; the menu makes the service window reachable.
    m_pt100Action = new QAction(Tr("MainDialog", "PT100参数设置(&P)..."), this);
    connect(m_pt100Action, &QAction::triggered, this, &MainDialog::openPt100Dialog);
}

bool MainDialog::takeWholeNumber(int id, std::int32_t& value) {
    const std::optional<std::int32_t> number =
        ParseWholeNumber(control<QLineEdit>(id)->text().toStdString());
    if (!number) {
        refuseField(id, Translate("MainDialog", kNotAWholeNumber.data()));
        return false;
    }
    value = *number;
    return true;
}

void MainDialog::refuseField(int id, std::string_view message) {
    m_operator.message(message);
    QLineEdit* edit = control<QLineEdit>(id);
    edit->setFocus();
    edit->selectAll();
}

bool MainDialog::refresh() {
    if (!takeWholeNumber(kAddressEdit, m_values.deviceAddress)) return false;
    if (!takeWholeNumber(kPortEdit, m_values.portNumber)) return false;
    if (!takeWholeNumber(kRegistrationChannelEdit, m_values.registrationChannel)) return false;
    if (!takeWholeNumber(kSignalCountEdit, m_values.signalCount)) return false;
    m_values.baudRate = control<QComboBox>(kBaudList)->currentText().toStdString();
    if (!takeWholeNumber(kPeriodEdit, m_values.acquisitionPeriodMs)) return false;
    m_values.failureCount = control<QLabel>(kFailureCountLabel)->text().toStdString();
    m_values.successCount = control<QLabel>(kSuccessCountLabel)->text().toStdString();
    // The channel is taken before its range is checked, so a refused value stays in the values
    // as the field showed it.
    if (!takeWholeNumber(kSnReadChannelEdit, m_values.snReadChannel)) return false;
    if (const std::optional<std::string> refusal = SnReadChannelRefusal(m_values.snReadChannel)) {
        refuseField(kSnReadChannelEdit, *refusal);
        return false;
    }
    for (int i = 0; i < kSnBytes; ++i) {
        m_values.snTexts[i] = control<QLineEdit>(kSnEdits[i])->text().toStdString();
    }
    m_values.registrationMode = GroupOf(*this, kSemiAutomaticRadio).checkedId();
    m_values.probePort = GroupOf(*this, kPortARadio).checkedId();
    return true;
}

void MainDialog::updateControls() {
    m_updating = true;
    const auto showNumber = [this](int id, std::int32_t value) {
        control<QLineEdit>(id)->setText(QString::number(value));
    };
    showNumber(kAddressEdit, m_values.deviceAddress);
    showNumber(kPortEdit, m_values.portNumber);
    showNumber(kRegistrationChannelEdit, m_values.registrationChannel);
    showNumber(kSignalCountEdit, m_values.signalCount);
    QComboBox* baud = control<QComboBox>(kBaudList);
    const int baudIndex = baud->findText(FromUtf8(m_values.baudRate), Qt::MatchExactly);
    if (baudIndex >= 0) baud->setCurrentIndex(baudIndex);
    showNumber(kPeriodEdit, m_values.acquisitionPeriodMs);
    ShowValue(control<QLabel>(kFailureCountLabel), FromUtf8(m_values.failureCount));
    ShowValue(control<QLabel>(kSuccessCountLabel), FromUtf8(m_values.successCount));
    showNumber(kSnReadChannelEdit, m_values.snReadChannel);
    for (int i = 0; i < kSnBytes; ++i) {
        control<QLineEdit>(kSnEdits[i])->setText(FromUtf8(m_values.snTexts[i]));
    }
    SetCheckedIndex(GroupOf(*this, kSemiAutomaticRadio), m_values.registrationMode);
    SetCheckedIndex(GroupOf(*this, kPortARadio), m_values.probePort);
    m_updating = false;
}

std::unique_ptr<ControlLock> MainDialog::lockControls(LockedDuring run) {
    std::vector<QWidget*> controls;
    for (int id : LockedControls(run))
        controls.push_back(control<QWidget>(id));
    return std::make_unique<ControlLock>(m_controlLocks, std::move(controls));
}

TemperatureReply& MainDialog::temperatureReply() {
    return m_reading->reply();
}

void MainDialog::showTemperatures() {
    m_reading->showTemperatures();
}

void MainDialog::setSnEditsEnabled(bool enabled) {
    m_registration->setSnEditsEnabled(enabled);
}

RegistrationHelpDialog& MainDialog::registrationHelp() {
    return m_registration->help();
}

RegisteredDialog& MainDialog::registeredPopup() {
    return m_registration->registeredPopup();
}

bool MainDialog::acquiring() const {
    return m_acquisition->acquiring();
}

void MainDialog::openAboutBox() {
    AboutDialog about(this);
    about.exec();
}

void MainDialog::openPt100Dialog() {
    Pt100Dialog dialog(*this);
    setTraceTarget(&dialog.trace());
    dialog.exec();
    setTraceTarget(nullptr);
}

void MainDialog::done(int result) {
    m_acquisition->end();
    m_trend->closeTrend();
    QDialog::done(result);
}

// Enter outside a push button takes the values and closes when they are all valid.
void MainDialog::defaultAction() {
    if (refresh()) accept();
}

// The title-bar menu belongs to the window manager here, so the window's own surface offers
// what that menu would hold.
void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
    m_menu->showContextMenu(event->globalPos());
}

bool MainDialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    if (!IsSystemMenuAbout(eventType, message))
        return QDialog::nativeEvent(eventType, message, result);
    openAboutBox();
    *result = 0;
    return true;
}

}  // namespace tavolex
