#include "TemperatureOffsets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "BusyCursor.h"
#include "ChannelLists.h"
#include "MainDialog.h"
#include "Offsets.h"

namespace tavolex {

namespace {

template <std::size_t N>
void ShowOffsets(QTableWidget* list, const std::array<std::string, N>& texts) {
    for (int row = 0; row < static_cast<int>(N); ++row)
        list->item(row, kOffsetColumn)->setText(QString::fromStdString(texts[row]));
}

}  // namespace

TemperatureOffsets::TemperatureOffsets(MainDialog& window) : m_window(window) {
    connect(window.control<QPushButton>(MainDialog::kReadOffsetsButton), &QPushButton::clicked,
            this, &TemperatureOffsets::readAll);
    connect(window.control<QPushButton>(MainDialog::kSetOffsetButton), &QPushButton::clicked, this,
            &TemperatureOffsets::set);
    // A choice the operator makes, by the list or by the keys; the program never sets one.
    connect(window.control<QComboBox>(MainDialog::kProbeTypeCombo), &QComboBox::activated, this,
            &TemperatureOffsets::chooseProbeType);
}

void TemperatureOffsets::readAll() {
    std::optional<OffsetColumnTexts> texts;
    {
        const BusyCursor busy;
        texts = ReadAllOffsets(m_window, m_window.link(), m_window.person(), m_window.acquiring());
    }
    if (!texts) return;
    ShowOffsets(m_window.control<QTableWidget>(MainDialog::kLowChannelList), texts->low);
    ShowOffsets(m_window.control<QTableWidget>(MainDialog::kHighChannelList), texts->high);
    ShowOffsets(m_window.control<QTableWidget>(MainDialog::kPt100List), texts->pt100);
}

void TemperatureOffsets::set() {
    const QComboBox* types = m_window.control<QComboBox>(MainDialog::kProbeTypeCombo);
    OffsetSetting setting;
    // The list is editable: text typed over it names a probe type only when it is exactly an
    // item's text, whatever was chosen before.
    setting.probeType = ProbeTypeOfIndex(types->findText(types->currentText(), Qt::MatchExactly));
    setting.channelIndex =
        m_window.control<QComboBox>(MainDialog::kOffsetChannelList)->currentIndex();
    setting.valueText = m_window.control<QLineEdit>(MainDialog::kOffsetEdit)->text().toStdString();
    const BusyCursor busy;
    SetOffset(m_window, m_window.link(), m_window.person(), m_window.acquiring(), setting);
}

void TemperatureOffsets::chooseProbeType(int index) {
    const std::optional<ProbeType> type = ProbeTypeOfIndex(index);
    if (!type) return;
    QComboBox* channels = m_window.control<QComboBox>(MainDialog::kOffsetChannelList);
    channels->clear();
    for (const std::string& item : OffsetChannelItems(*type))
        channels->addItem(QString::fromStdString(item));
    channels->setCurrentIndex(-1);
}

}  // namespace tavolex
