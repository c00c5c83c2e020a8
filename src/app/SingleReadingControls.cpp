#include "SingleReadingControls.h"

#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <utility>

#include "BusyCursor.h"
#include "ChannelLists.h"
#include "ControlBuilder.h"
#include "ControlsHost.h"
#include "PortOpenFailure.h"
#include "ReadTemperatures.h"
#include "ShownText.h"
#include "Translate.h"
#include "Translations.h"
#include "TrendMonitor.h"

namespace tavolex {

namespace {

using Ids = MainControlIds;

constexpr const char* kOpenPortFailed = TAVOLEX_TRANSLATABLE("MainDialog", "打开串口错误!");
constexpr const char* kBadReply = TAVOLEX_TRANSLATABLE("MainDialog", "返回数据错误!");

// A channel list column's width at 96 dpi: the caption (wider for "PT100通道n"), the values.
int ChannelColumnWidthPx(ChannelList list, int column) {
    if (column != kCaptionColumn) return 72;
    return list == ChannelList::Pt100 ? 70 : 55;
}

void SetUpChannelList(QTableWidget& list, ChannelList which, const DialogUnits& units,
                      int rowHeight) {
    const auto titles = ChannelColumnTitles();
    list.setColumnCount(kChannelListColumns);
    list.setRowCount(RowCountOf(which));
    for (int column = 0; column < kChannelListColumns; ++column) {
        list.setHorizontalHeaderItem(
            column, new QTableWidgetItem(Tr("ChannelLists", titles[column].data())));
        list.setColumnWidth(column, units.pixels(ChannelColumnWidthPx(which, column)));
    }
    for (int row = 0; row < list.rowCount(); ++row) {
        list.setItem(row, kCaptionColumn, new QTableWidgetItem(ShownRowCaption(which, row)));
        list.setItem(row, kTemperatureColumn, new QTableWidgetItem());
        list.setItem(row, kOffsetColumn, new QTableWidgetItem());
    }
    list.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list.horizontalHeader()->setStretchLastSection(false);
    list.horizontalHeader()->setHighlightSections(false);
    list.verticalHeader()->hide();
    list.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list.verticalHeader()->setDefaultSectionSize(rowHeight);
    list.setShowGrid(true);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list.setWordWrap(false);
}

}  // namespace

void SingleReadingControls::buildAcquireRow(ControlBuilder& make) {
    make.group(Tr("MainDialog", "温度采集"), {145, 37, 412, 347});
    make.text(Tr("MainDialog", "采集周期:"), {191, 50, 40, 8});
    make.edit(Ids::kPeriodEdit, {191, 61, 36, 13}, Tr("MainDialog", "采集周期:"));
    make.text(Tr("MainDialog", "毫秒"), {230, 63, 16, 8});
    QPushButton* acquire =
        make.button(Ids::kAcquireButton, Tr("MainDialog", "采集"), {259, 51, 62, 17});
    connect(acquire, &QPushButton::clicked, this, &SingleReadingControls::acquireOnce);
}

void SingleReadingControls::buildLists(ControlBuilder& make) {
    const std::pair<QTableWidget*, ChannelList> lists[] = {
        {make.list(Ids::kLowChannelList, {145, 83, 135, 302}, Tr("MainDialog", "通道1-32")),
         ChannelList::Low},
        {make.list(Ids::kHighChannelList, {283, 83, 135, 302}, Tr("MainDialog", "通道33-64")),
         ChannelList::High},
        {make.list(Ids::kPt100List, {421, 83, 135, 302}, Tr("MainDialog", "PT100通道1-4")),
         ChannelList::Pt100}};
    const int rowHeight = make.window().fontMetrics().height() + make.units().y(2);
    for (const auto& [list, which] : lists)
        SetUpChannelList(*list, which, make.units(), rowHeight);
}

void SingleReadingControls::acquireOnce() {
    const LinkContext& link = m_host.link();
    MainPort main = OpenMainPort(m_host, link);
    if (main.refused) return;
    if (!main.port) {
        m_host.person().message(OpenFailureMessage(Translate("MainDialog", kOpenPortFailed),
                                                   link.ports, m_host.linkSettings()));
        return;
    }
    // While this reading waits, the window serves a running acquisition's results, which
    // write the shown reply: read into a buffer of our own and show only what came here.
    TemperatureReply reply;
    ReadOutcome read;
    {
        const BusyCursor busy;
        read = ReadTemperatureReply(*main.port, m_host.linkSettings().addressByte(), reply, link);
        main.port.reset();
    }
    if (read.ok()) {
        m_reply = reply;
        showTemperatures();
        return;
    }
    m_trend.takeFailure();
    const std::string message = Translate("MainDialog", kBadReply);
    // Not a byte back: the line or the device the port number means is the likely cause.
    m_host.person().message(
        read.received == 0 ? NoReplyMessage(message, link.ports, m_host.linkSettings()) : message);
}

void SingleReadingControls::showTemperatures() {
    const TemperatureColumnTexts texts = TemperatureColumnOf(m_reply);
    const auto fill = [this](int id, const auto& column) {
        QTableWidget* list = m_host.control<QTableWidget>(id);
        for (int row = 0; row < static_cast<int>(column.size()); ++row)
            list->item(row, kTemperatureColumn)->setText(FromUtf8(column[row]));
    };
    fill(Ids::kLowChannelList, texts.low);
    fill(Ids::kHighChannelList, texts.high);
    fill(Ids::kPt100List, texts.pt100);
    m_trend.takeReading(m_reply);
}

}  // namespace tavolex
