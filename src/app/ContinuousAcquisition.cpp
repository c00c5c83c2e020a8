#include "ContinuousAcquisition.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <string>

#include "AcquisitionWorker.h"
#include "ControlLocks.h"
#include "CsvFile.h"
#include "DataFile.h"
#include "ErrorLog.h"
#include "MainDialog.h"
#include "PortOpenFailure.h"
#include "QtOperator.h"
#include "ShownText.h"
#include "Translate.h"
#include "Translations.h"
#include "TrendMonitor.h"

namespace tavolex {

namespace {

// The controls that stay disabled while a run holds the port.
constexpr std::array<int, 10> kLockedWhileRunning = {
    MainDialog::kSaveLogCheck,      MainDialog::kRecordPeriodEdit,  MainDialog::kSetClockButton,
    MainDialog::kReadClockButton,   MainDialog::kSetOffsetButton,   MainDialog::kReadOffsetsButton,
    MainDialog::kDeleteIdsButton,   MainDialog::kViewRecordsButton, MainDialog::kReadIntervalButton,
    MainDialog::kSetIntervalButton,
};

QString StartCaption() {
    return Tr("ContinuousAcquisition", "连续采集");
}
QString StopCaption() {
    return Tr("ContinuousAcquisition", "取消采集");
}
QString RecordPeriodCaption() {
    return Tr("MainDialog", "秒/次自动记录当前温度");
}

}  // namespace

ContinuousAcquisition::ContinuousAcquisition(MainDialog& window) : m_window(window) {
    ownerlessMessage = [this](std::string_view text) { showOwnerlessBox(text); };
    for (QLabel* label : window.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->text() == RecordPeriodCaption()) m_recordPeriodCaption = label;
    }
    m_recordOptions = new QAction(Tr("ContinuousAcquisition", "显示保存选项(&R)"), &window);
    m_recordOptions->setCheckable(true);
    QObject::connect(m_recordOptions, &QAction::toggled, &window,
                     [this](bool shown) { showRecordOptions(shown); });
    m_pressConnection = QObject::connect(window.control<QPushButton>(MainDialog::kContinuousButton),
                                         &QPushButton::clicked, &window, [this] { press(); });
}

ContinuousAcquisition::~ContinuousAcquisition() {
    end();
    QObject::disconnect(m_pressConnection);
    delete m_recordOptions;
    for (const QPointer<QMessageBox>& box : m_boxes)
        delete box.data();
}

void ContinuousAcquisition::press() {
    if (!m_window.refresh()) return;
    takeRecordOptions();
    WindowValues& values = m_window.values();
    if (values.acquisitionPeriodMs < kMinAcquisitionPeriodMs) {
        m_window.person().message(Translate("ContinuousAcquisition", kMinPeriodMessage.data()));
        values.acquisitionPeriodMs = kMinAcquisitionPeriodMs;
        m_window.updateControls();
        return;
    }
    if (m_acquiring) {
        stop();
    } else {
        start();
    }
}

void ContinuousAcquisition::end() {
    m_acquiring = false;
    m_shared.runFlag = false;
    finishWorker();
    setButtonCaption(StartCaption());
    clearCounters();
    // The window may be shown again; it must not come back with the run's controls locked.
    m_runLock.reset();
}

void ContinuousAcquisition::start() {
    // Two workers never compete for the port: the last run's worker, stopped at once when it
    // was asked to, is gone before the next one starts.
    finishWorker();
    m_acquiring = true;
    setButtonCaption(StopCaption());
    m_shared.runFlag = true;
    m_shared.dataFileName = DataFileName(m_window.workingDirectory(), LocalTimeNow());
    m_shared.csvFileName = CsvBesideDataFile(m_shared.dataFileName);
    m_shared.csvHeading = m_window.trend().csvHeading();
    m_window.trend().startRun();
    const LinkContext& link = m_window.link();
    AcquisitionEnvironment environment(link.ports, link.clock,
                                       ErrorLogFile::InDirectory(m_window.workingDirectory()));
    if (wallTime) environment.wallTime = wallTime;
    AcquisitionWindow& served = *this;
    m_worker = std::make_unique<AcquisitionWorker>(served, m_shared, environment);
    m_runLock = m_window.lockControls(kLockedWhileRunning);
}

void ContinuousAcquisition::stop() {
    haltRun();
    m_window.updateControls();
}

void ContinuousAcquisition::haltRun() {
    m_acquiring = false;
    m_shared.runFlag = false;
    if (m_worker) m_worker->requestStop();
    setButtonCaption(StartCaption());
    clearCounters();
    m_runLock.reset();
}

void ContinuousAcquisition::finishWorker() {
    // The wait serves events, among them perhaps another close of the window that ends the
    // run again: that inner end finds no worker, while this frame keeps the one it waits for.
    const std::unique_ptr<AcquisitionWorker> worker = std::move(m_worker);
    if (!worker) return;
    worker->requestStop();
    worker->waitUntilEnded();
}

AcquisitionSettings ContinuousAcquisition::fetchSettings() {
    // A run stopped before its worker asked reads nothing, so it needs no refresh either. A
    // field refused now stops the run before it opens the port.
    if (m_shared.runFlag && !m_window.refresh()) haltRun();
    const WindowValues& values = m_window.values();
    // The button refused shorter periods; a period that a failed refresh left behind must not
    // make the worker poll the instrument without a pause.
    const AcquisitionSettings settings{
        values.portNumber, LeadingNumber(values.baudRate), values.deviceAddress,
        std::max(values.acquisitionPeriodMs, kMinAcquisitionPeriodMs)};
    m_runLink = {settings.portNumber, settings.baudRate, settings.deviceAddress};
    return settings;
}

// Only the counter and the channel lists change: the other controls keep what the operator
// may be typing into them.
void ContinuousAcquisition::showResult(bool success, int count) {
    // A result that was on its way when the run stopped would undo the cleared counters.
    if (!m_shared.runFlag || !m_worker) return;
    const std::string text = std::to_string(count);
    WindowValues& values = m_window.values();
    if (success) {
        values.successCount = text;
        ShowValue(m_window.control<QLabel>(MainDialog::kSuccessCountLabel), FromUtf8(text));
        m_window.temperatureReply() = m_worker->reply();
        m_window.showTemperatures();
    } else {
        values.failureCount = text;
        ShowValue(m_window.control<QLabel>(MainDialog::kFailureCountLabel), FromUtf8(text));
        m_window.trend().takeFailure();
    }
}

void ContinuousAcquisition::reportOpenFailure() {
    if (!m_shared.runFlag) return;
    ownerlessMessage(
        OpenFailureMessage(Translate("ContinuousAcquisition", kOpenFailedMessage.data()),
                           m_window.link().ports, m_runLink));
}

void ContinuousAcquisition::takeRecordOptions() {
    m_shared.recordEnabled = m_window.control<QCheckBox>(MainDialog::kSaveLogCheck)->isChecked();
    m_shared.recordPeriodSeconds = LeadingNumber(
        m_window.control<QLineEdit>(MainDialog::kRecordPeriodEdit)->text().toStdString());
}

void ContinuousAcquisition::setButtonCaption(const QString& caption) {
    ShowCaption(m_window.control<QPushButton>(MainDialog::kContinuousButton), caption);
}

void ContinuousAcquisition::clearCounters() {
    m_window.values().successCount.clear();
    m_window.values().failureCount.clear();
    ShowValue(m_window.control<QLabel>(MainDialog::kSuccessCountLabel), QString());
    ShowValue(m_window.control<QLabel>(MainDialog::kFailureCountLabel), QString());
}

void ContinuousAcquisition::showRecordOptions(bool shown) {
    m_window.control<QWidget>(MainDialog::kSaveLogCheck)->setVisible(shown);
    m_window.control<QWidget>(MainDialog::kRecordPeriodEdit)->setVisible(shown);
    if (m_recordPeriodCaption != nullptr) m_recordPeriodCaption->setVisible(shown);
}

void ContinuousAcquisition::showOwnerlessBox(std::string_view text) {
    std::erase_if(m_boxes, [](const QPointer<QMessageBox>& box) { return box.isNull(); });
    QMessageBox* box = QtOperator::MakeBox(QString(), text, QMessageBox::Ok, nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    m_boxes.emplace_back(box);
}

}  // namespace tavolex
