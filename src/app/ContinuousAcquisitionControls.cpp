#include "ContinuousAcquisitionControls.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <string>

#include "AcquisitionWorker.h"
#include "ControlBuilder.h"
#include "ControlLocks.h"
#include "ControlsHost.h"
#include "CsvFile.h"
#include "DataFile.h"
#include "ErrorLog.h"
#include "QtOperator.h"
#include "ShownText.h"
#include "SingleReadingControls.h"
#include "Translations.h"
#include "TrendMonitor.h"

namespace tavolex {

namespace {

using Ids = MainControlIds;

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

ContinuousAcquisitionControls::ContinuousAcquisitionControls(ControlsHost& host,
                                                             SingleReadingControls& display,
                                                             TrendMonitor& trend)
    : m_host(host), m_display(display), m_trend(trend) {
    ownerlessMessage = [this](std::string_view text) { showOwnerlessBox(text); };
    m_recordOptions = new QAction(Tr("ContinuousAcquisition", "显示保存选项(&R)"), &host.owner());
    m_recordOptions->setCheckable(true);
    QObject::connect(m_recordOptions, &QAction::toggled, m_recordOptions,
                     [this](bool shown) { showRecordOptions(shown); });
}

void ContinuousAcquisitionControls::buildRunControls(ControlBuilder& make) {
    QWidget& window = make.window();
    QPushButton* run =
        make.button(Ids::kContinuousButton, Tr("MainDialog", "连续采集"), {332, 51, 62, 17});
    m_pressConnection = QObject::connect(run, &QPushButton::clicked, run, [this] { press(); });
    const auto counter = [&](int id, const QString& caption, int left) {
        make.group(caption, {left, 43, 54, 34});
        QLabel* count = make.identified(new QLabel(&window), id, {left + 6, 58, 42, 10}, caption);
        count->setAlignment(Qt::AlignCenter);
        SetValueCaption(count, caption);
    };
    counter(Ids::kSuccessCountLabel, Tr("MainDialog", "成功次数"), 414);
    counter(Ids::kFailureCountLabel, Tr("MainDialog", "失败次数"), 480);
}

void ContinuousAcquisitionControls::buildRecordOptions(ControlBuilder& make) {
    make.check(Ids::kSaveLogCheck, Tr("MainDialog", "保存日志"), {65, 373, 48, 10})->hide();
    make.edit(Ids::kRecordPeriodEdit, {69, 385, 39, 14}, RecordPeriodCaption(),
              QStringLiteral("30"))
        ->hide();
    m_recordPeriodCaption = make.text(RecordPeriodCaption(), {67, 399, 85, 8});
    m_recordPeriodCaption->hide();
}

ContinuousAcquisitionControls::~ContinuousAcquisitionControls() {
    end();
    QObject::disconnect(m_pressConnection);
    delete m_recordOptions;
    for (const QPointer<QMessageBox>& box : m_boxes)
        delete box.data();
}

void ContinuousAcquisitionControls::press() {
    if (!m_host.takeSettings()) return;
    takeRecordOptions();
    WindowValues& values = m_host.values();
    if (values.acquisitionPeriodMs < kMinAcquisitionPeriodMs) {
        m_host.person().message(MinPeriodMessage());
        values.acquisitionPeriodMs = kMinAcquisitionPeriodMs;
        m_host.updateControls();
        return;
    }
    if (m_acquiring) {
        stop();
    } else {
        start();
    }
}

void ContinuousAcquisitionControls::end() {
    m_acquiring = false;
    m_shared.runFlag = false;
    finishWorker();
    setButtonCaption(StartCaption());
    clearCounters();
    // The window may be shown again; it must not come back with the run's controls locked.
    m_runLock.reset();
}

void ContinuousAcquisitionControls::start() {
    // Two workers never compete for the port: the last run's worker, stopped at once when it
    // was asked to, is gone before the next one starts.
    finishWorker();
    m_acquiring = true;
    setButtonCaption(StopCaption());
    m_shared.runFlag = true;
    m_shared.dataFileName = DataFileName(m_host.workingDirectory(), LocalTimeNow());
    m_shared.csvFileName = CsvBesideDataFile(m_shared.dataFileName);
    m_shared.csvHeading = m_trend.csvHeading();
    m_trend.startRun();
    const LinkContext& link = m_host.link();
    AcquisitionEnvironment environment(link.ports, link.clock,
                                       ErrorLogFile::InDirectory(m_host.workingDirectory()));
    if (wallTime) environment.wallTime = wallTime;
    AcquisitionObserver& served = *this;
    m_worker = std::make_unique<AcquisitionWorker>(served, m_shared, environment);
    m_runLock = m_host.lockControls(LockedDuring::ContinuousRun);
}

void ContinuousAcquisitionControls::stop() {
    haltRun();
    m_host.updateControls();
}

void ContinuousAcquisitionControls::haltRun() {
    m_acquiring = false;
    m_shared.runFlag = false;
    if (m_worker) m_worker->requestStop();
    setButtonCaption(StartCaption());
    clearCounters();
    m_runLock.reset();
}

void ContinuousAcquisitionControls::finishWorker() {
    // The wait serves events, among them perhaps another close of the window that ends the
    // run again: that inner end finds no worker, while this frame keeps the one it waits for.
    const std::unique_ptr<AcquisitionWorker> worker = std::move(m_worker);
    if (!worker) return;
    worker->requestStop();
    worker->waitUntilEnded();
}

AcquisitionSettings ContinuousAcquisitionControls::fetchSettings() {
    // A run stopped before its worker asked reads nothing, so it needs no refresh either. A
    // field refused now stops the run before it opens the port.
    if (m_shared.runFlag && !m_host.takeSettings()) haltRun();
    const WindowValues& values = m_host.values();
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
void ContinuousAcquisitionControls::showResult(bool success, int count) {
    // A result that was on its way when the run stopped would undo the cleared counters.
    if (!m_shared.runFlag || !m_worker) return;
    const std::string text = std::to_string(count);
    WindowValues& values = m_host.values();
    if (success) {
        values.successCount = text;
        ShowValue(m_host.control<QLabel>(Ids::kSuccessCountLabel), FromUtf8(text));
        m_display.reply() = m_worker->reply();
        m_display.showTemperatures();
    } else {
        values.failureCount = text;
        ShowValue(m_host.control<QLabel>(Ids::kFailureCountLabel), FromUtf8(text));
        m_trend.takeFailure();
    }
}

void ContinuousAcquisitionControls::reportOpenFailure() {
    if (!m_shared.runFlag) return;
    ownerlessMessage(RunOpenFailureMessage(m_host.link().ports, m_runLink));
}

void ContinuousAcquisitionControls::takeRecordOptions() {
    m_shared.recordEnabled = m_host.control<QCheckBox>(Ids::kSaveLogCheck)->isChecked();
    m_shared.recordPeriodSeconds =
        LeadingNumber(m_host.control<QLineEdit>(Ids::kRecordPeriodEdit)->text().toStdString());
}

void ContinuousAcquisitionControls::setButtonCaption(const QString& caption) {
    ShowCaption(m_host.control<QPushButton>(Ids::kContinuousButton), caption);
}

void ContinuousAcquisitionControls::clearCounters() {
    m_host.values().successCount.clear();
    m_host.values().failureCount.clear();
    ShowValue(m_host.control<QLabel>(Ids::kSuccessCountLabel), QString());
    ShowValue(m_host.control<QLabel>(Ids::kFailureCountLabel), QString());
}

void ContinuousAcquisitionControls::showRecordOptions(bool shown) {
    m_host.control<QWidget>(Ids::kSaveLogCheck)->setVisible(shown);
    m_host.control<QWidget>(Ids::kRecordPeriodEdit)->setVisible(shown);
    if (m_recordPeriodCaption != nullptr) m_recordPeriodCaption->setVisible(shown);
}

void ContinuousAcquisitionControls::showOwnerlessBox(std::string_view text) {
    std::erase_if(m_boxes, [](const QPointer<QMessageBox>& box) { return box.isNull(); });
    QMessageBox* box = QtOperator::MakeBox(QString(), text, QMessageBox::Ok, nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    m_boxes.emplace_back(box);
}

}  // namespace tavolex
