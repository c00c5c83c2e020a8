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
#include "ReadTemperatures.h"
#include "ShownText.h"
#include "Translations.h"
#include "TrendMonitor.h"

namespace tavolex {

namespace {

using Ids = MainControlIds;

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
    // While this reading waits, the window serves a running acquisition's results, which
    // write the shown reply: the reading comes in its own buffer and is shown only when good.
    Outcome<TemperatureReply> reading;
    {
        const BusyCursor busy;
        OperationContext context = m_host.operation();
        reading = ReadTemperaturesOnce(context);
    }
    if (reading) {
        m_reply = *reading;
        showTemperatures();
    } else if (reading.kind == OutcomeKind::Failed) {
        m_trend.takeFailure();
    }
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
