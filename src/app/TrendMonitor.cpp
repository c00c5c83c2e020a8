#include "TrendMonitor.h"

#include <QAction>
#include <QDateTime>
#include <QTableWidget>
#include <algorithm>

#include "ChannelLists.h"
#include "ChannelSettingsDialog.h"
#include "ChannelSettingsStore.h"
#include "ControlsHost.h"
#include "CsvFile.h"
#include "DesktopNotification.h"
#include "TenthDegree.h"
#include "Translations.h"
#include "TrendDialog.h"

namespace tavolex {

namespace {

const QColor kAlarmBackground(255, 200, 200);
// Enough curves to see something at once, few enough to tell them apart.
constexpr std::size_t kChannelsTickedAtOpening = 8;

// The digital channels from channel 1, then the PT100 channels, as the lists show them.
std::vector<int> ChannelsInWindowOrder() {
    std::vector<int> order;
    for (ChannelList list : {ChannelList::Low, ChannelList::High, ChannelList::Pt100}) {
        for (int row = 0; row < RowCountOf(list); ++row)
            order.push_back(ChannelOfRow(list, row));
    }
    return order;
}

int ListId(ChannelList list) {
    switch (list) {
        case ChannelList::Low:
            return ControlsHost::kLowChannelList;
        case ChannelList::High:
            return ControlsHost::kHighChannelList;
        case ChannelList::Pt100:
            break;
    }
    return ControlsHost::kPt100List;
}

}  // namespace

TrendMonitor::TrendMonitor(ControlsHost& window)
    : notify(ShowDesktopNotification),
      nowMs([] { return QDateTime::currentMSecsSinceEpoch(); }),
      settingsFile(ChannelSettingsFile()),
      m_window(window) {
    m_settings = LoadChannelSettings(settingsFile);
    QWidget* owner = &window.owner();
    m_trendAction = new QAction(Tr("TrendMonitor", "趋势图(&T)..."), owner);
    QObject::connect(m_trendAction, &QAction::triggered, owner, [this] { openTrend(); });
    m_settingsAction = new QAction(Tr("TrendMonitor", "通道设置(&L)..."), owner);
    QObject::connect(m_settingsAction, &QAction::triggered, owner, [this] { editSettings(); });
}

void TrendMonitor::attachLists() {
    showLabels();
    QWidget* owner = &m_window.owner();
    for (ChannelList list : {ChannelList::Low, ChannelList::High, ChannelList::Pt100}) {
        QObject::connect(m_window.control<QTableWidget>(ListId(list)),
                         &QTableWidget::cellDoubleClicked, owner,
                         [this, list](int row, int) { addToTrend(ChannelOfRow(list, row)); });
    }
}

TrendMonitor::~TrendMonitor() {
    // The trend window reads this object's history: it goes first.
    delete m_dialog.data();
}

void TrendMonitor::takeReading(const TemperatureReply& reply) {
    m_history.addReading(nowMs(), reply);
    m_lastCarried.clear();
    for (int channel : ChannelsInWindowOrder()) {
        if (ChannelTenths(reply, channel)) m_lastCarried.push_back(channel);
    }
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const std::optional<int> tenths = ChannelTenths(reply, channel);
        if (tenths) m_statistics.add(channel, *tenths);
        const AlarmStep step = m_alarms.take(channel, tenths, m_settings[channel].limits);
        if (step.change != AlarmChange::None) {
            colourRow(channel, step.change == AlarmChange::Entered);
        }
        if (step.notify) announce(channel, *tenths);
    }
    redrawTrend();
}

void TrendMonitor::takeFailure() {
    m_history.addFailure(nowMs());
    redrawTrend();
}

void TrendMonitor::startRun() {
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (m_alarms.inAlarm(channel)) colourRow(channel, false);
    }
    m_alarms.startRun();
    m_statistics.reset();
    redrawTrend();
}

TrendDialog* TrendMonitor::trendDialog() const {
    return m_dialog.data();
}

TrendDialog& TrendMonitor::openTrend() {
    TrendDialog& dialog = showTrendWindow();
    if (!dialog.anyChannelShown()) {
        const std::size_t count = std::min(m_lastCarried.size(), kChannelsTickedAtOpening);
        for (std::size_t i = 0; i < count; ++i)
            dialog.setChannelShown(m_lastCarried[i], true);
    }
    return dialog;
}

TrendDialog& TrendMonitor::showTrendWindow() {
    if (m_dialog.isNull()) {
        m_dialog = new TrendDialog({m_history, m_settings, m_alarms}, m_window.person(),
                                   &m_window.owner());
        m_dialog->folder = [this] { return m_window.workingDirectory(); };
        QObject::connect(m_dialog, &TrendDialog::settingsRequested, m_dialog,
                         [this] { editSettings(); });
    }
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
    return *m_dialog;
}

void TrendMonitor::addToTrend(int channel) {
    showTrendWindow().setChannelShown(channel, true);
}

void TrendMonitor::editSettings() {
    QWidget* owner = m_dialog && m_dialog->isVisible() ? static_cast<QWidget*>(m_dialog.data())
                                                       : &m_window.owner();
    ChannelSettingsDialog dialog(m_settings, m_window.person(), owner);
    if (dialog.exec() != QDialog::Accepted) return;
    applySettings(dialog.settings());
    SaveChannelSettings(settingsFile, m_settings);
}

void TrendMonitor::applySettings(const ChannelSettings& settings) {
    m_settings = settings;
    showLabels();
    if (m_dialog) m_dialog->redrawNow();
}

void TrendMonitor::closeTrend() {
    if (m_dialog) m_dialog->hide();
}

std::string TrendMonitor::csvHeading() const {
    std::vector<std::string> labels;
    for (int channel = 0; channel < kChannelCount; ++channel)
        labels.push_back(m_settings.label(channel));
    return CsvHeading(labels);
}

void TrendMonitor::showLabels() {
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const ListRow at = RowOfChannel(channel);
        QTableWidgetItem* item =
            m_window.control<QTableWidget>(ListId(at.list))->item(at.row, kCaptionColumn);
        item->setText(ShownChannelLabel(m_settings, channel));
    }
}

void TrendMonitor::colourRow(int channel, bool alarm) {
    const ListRow at = RowOfChannel(channel);
    QTableWidget* list = m_window.control<QTableWidget>(ListId(at.list));
    for (int column = 0; column < kChannelListColumns; ++column) {
        list->item(at.row, column)
            ->setData(Qt::BackgroundRole, alarm ? QVariant(kAlarmBackground) : QVariant());
    }
}

void TrendMonitor::announce(int channel, int tenths) {
    const ChannelLimits& limits = m_settings[channel].limits;
    const bool high = limits.highTenths && tenths > *limits.highTenths;
    const std::string limit = LimitText(high ? limits.highTenths : limits.lowTenths);
    const QString pattern = high ? Tr("TrendMonitor", "%1: %2 °C, 上限 %3 °C")
                                 : Tr("TrendMonitor", "%1: %2 °C, 下限 %3 °C");
    const QString body = pattern.arg(ShownChannelLabel(m_settings, channel),
                                     QString::fromStdString(TenthDegree::FromTenths(tenths).text()),
                                     QString::fromStdString(limit));
    notify(Tr("TrendMonitor", "温度超限"), body);
}

void TrendMonitor::redrawTrend() {
    if (m_dialog) m_dialog->scheduleRedraw();
}

}  // namespace tavolex
