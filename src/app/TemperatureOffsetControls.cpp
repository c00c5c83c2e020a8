#include "TemperatureOffsetControls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "BusyCursor.h"
#include "ChannelLists.h"
#include "ContinuousAcquisitionControls.h"
#include "ControlBuilder.h"
#include "ControlsHost.h"
#include "Offsets.h"
#include "Translations.h"

namespace tavolex {

namespace {

template <std::size_t N>
void ShowOffsets(QTableWidget* list, const std::array<std::string, N>& texts) {
    for (int row = 0; row < static_cast<int>(N); ++row)
        list->item(row, kOffsetColumn)->setText(QString::fromStdString(texts[row]));
}

}  // namespace

void TemperatureOffsetControls::build(ControlBuilder& make) {
    make.group(Tr("MainDialog", "温度偏移量"), {10, 264, 125, 104});
    QPushButton* readAllButton =
        make.button(ControlsHost::kReadOffsetsButton, Tr("MainDialog", "读出全部通道偏移量"),
                    {16, 277, 110, 14});
    make.text(Tr("MainDialog", "探头类别："), {16, 299, 40, 8});
    QComboBox* types =
        make.combo(ControlsHost::kProbeTypeCombo, {56, 297, 72, 14}, Tr("MainDialog", "探头类别："),
                   {Tr("MainDialog", "铂电阻探头"), Tr("MainDialog", "数字温度传感器")}, true);
    make.text(Tr("MainDialog", "通道号："), {16, 315, 32, 8});
    make.combo(ControlsHost::kOffsetChannelList, {56, 313, 40, 14}, Tr("MainDialog", "通道号："),
               {}, false);
    make.text(Tr("MainDialog", "偏移值："), {16, 331, 32, 8});
    make.edit(ControlsHost::kOffsetEdit, {56, 329, 40, 14}, Tr("MainDialog", "偏移值："));
    make.text(QStringLiteral("℃"), {98, 331, 10, 8});
    QPushButton* setButton =
        make.button(ControlsHost::kSetOffsetButton, Tr("MainDialog", "设置"), {56, 346, 40, 14});

    connect(readAllButton, &QPushButton::clicked, this, &TemperatureOffsetControls::readAll);
    connect(setButton, &QPushButton::clicked, this, &TemperatureOffsetControls::set);
    // A choice the operator makes, by the list or by the keys; the program never sets one.
    connect(types, &QComboBox::activated, this, &TemperatureOffsetControls::chooseProbeType);
}

void TemperatureOffsetControls::readAll() {
    Outcome<OffsetColumnTexts> texts;
    {
        const BusyCursor busy;
        OperationContext context = m_host.operation();
        texts = ReadAllOffsets(context, m_run.acquiring());
    }
    if (!texts) return;
    ShowOffsets(m_host.control<QTableWidget>(ControlsHost::kLowChannelList), texts->low);
    ShowOffsets(m_host.control<QTableWidget>(ControlsHost::kHighChannelList), texts->high);
    ShowOffsets(m_host.control<QTableWidget>(ControlsHost::kPt100List), texts->pt100);
}

void TemperatureOffsetControls::set() {
    const QComboBox* types = m_host.control<QComboBox>(ControlsHost::kProbeTypeCombo);
    OffsetSetting setting;
    // The list is editable: text typed over it names a probe type only when it is exactly an
    // item's text, whatever was chosen before.
    setting.probeType = ProbeTypeOfIndex(types->findText(types->currentText(), Qt::MatchExactly));
    setting.channelIndex =
        m_host.control<QComboBox>(ControlsHost::kOffsetChannelList)->currentIndex();
    setting.valueText = m_host.control<QLineEdit>(ControlsHost::kOffsetEdit)->text().toStdString();
    const BusyCursor busy;
    OperationContext context = m_host.operation();
    SetOffset(context, m_run.acquiring(), setting);
}

void TemperatureOffsetControls::chooseProbeType(int index) {
    const std::optional<ProbeType> type = ProbeTypeOfIndex(index);
    if (!type) return;
    QComboBox* channels = m_host.control<QComboBox>(ControlsHost::kOffsetChannelList);
    channels->clear();
    for (const std::string& item : OffsetChannelItems(*type))
        channels->addItem(QString::fromStdString(item));
    channels->setCurrentIndex(-1);
}

}  // namespace tavolex
