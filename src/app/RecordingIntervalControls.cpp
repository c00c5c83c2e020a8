#include "RecordingIntervalControls.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "BusyCursor.h"
#include "ControlBuilder.h"
#include "ControlsHost.h"
#include "RecordingInterval.h"
#include "Translations.h"

namespace tavolex {

void RecordingIntervalControls::build(ControlBuilder& make) {
    make.text(Tr("MainDialog", "设备主动记录温度时间:"), {164, 394, 86, 8});
    make.edit(ControlsHost::kIntervalEdit, {251, 392, 28, 14},
              Tr("MainDialog", "设备主动记录温度时间:"));
    make.text(Tr("MainDialog", "分钟"), {281, 394, 16, 8});
    QPushButton* readButton = make.button(ControlsHost::kReadIntervalButton,
                                          Tr("MainDialog", "读取"), {303, 391, 30, 14});
    QPushButton* setButton =
        make.button(ControlsHost::kSetIntervalButton, Tr("MainDialog", "设置"), {337, 391, 30, 14});
    QObject::connect(readButton, &QPushButton::clicked, &make.window(), [this] { read(); });
    QObject::connect(setButton, &QPushButton::clicked, &make.window(), [this] { set(); });
}

void RecordingIntervalControls::read() {
    Outcome<int> minutes;
    {
        const BusyCursor busy;
        OperationContext context = m_host.operation();
        minutes = ReadRecordingInterval(context);
    }
    if (minutes) {
        m_host.control<QLineEdit>(ControlsHost::kIntervalEdit)->setText(QString::number(*minutes));
    }
}

void RecordingIntervalControls::set() {
    // Read as the usual text-to-number conversion does: "7.9" is 7, text without a number 0.
    const std::int32_t minutes =
        LeadingNumber(m_host.control<QLineEdit>(ControlsHost::kIntervalEdit)->text().toStdString());
    const BusyCursor busy;
    OperationContext context = m_host.operation();
    SetRecordingInterval(context, minutes);
}

}  // namespace tavolex
