#include "DeviceClockControls.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "BusyCursor.h"
#include "ControlBuilder.h"
#include "ControlsHost.h"
#include "ErrorLog.h"
#include "Translations.h"

namespace tavolex {

DeviceClockControls::DeviceClockControls(ControlsHost& host)
    : localTime(LocalTimeNow), m_host(host) {}

void DeviceClockControls::build(ControlBuilder& make) {
    make.group(Tr("MainDialog", "设备时间"), {222, 4, 329, 31});
    const QString timeUnits[] = {Tr("MainDialog", "年"), Tr("MainDialog", "月"),
                                 Tr("MainDialog", "日"), Tr("MainDialog", "时"),
                                 Tr("MainDialog", "分"), Tr("MainDialog", "秒")};
    int left = 228;
    for (int i = 0; i < 6; ++i) {
        const int width = i == 0 ? 26 : 18;
        make.edit(ControlsHost::kYearEdit + i, {left, 15, width, 14}, timeUnits[i]);
        make.text(timeUnits[i], {left + width + 2, 17, 8, 8});
        left += width + 12;
    }
    QPushButton* readButton =
        make.button(ControlsHost::kReadClockButton, Tr("MainDialog", "读取"), {422, 15, 30, 14});
    QPushButton* setButton = make.button(ControlsHost::kSetClockButton,
                                         Tr("MainDialog", "设置当前系统时间"), {458, 15, 84, 14});
    QObject::connect(readButton, &QPushButton::clicked, &make.window(), [this] { read(); });
    QObject::connect(setButton, &QPushButton::clicked, &make.window(), [this] { set(); });
}

void DeviceClockControls::read() {
    Outcome<DeviceTimestamp> stamp;
    {
        const BusyCursor busy;
        OperationContext context = m_host.operation();
        stamp = ReadDeviceClock(context);
    }
    if (stamp) show(stamp->fieldTexts());
}

void DeviceClockControls::set() {
    Outcome<LocalDateTime> sent;
    {
        const BusyCursor busy;
        OperationContext context = m_host.operation();
        sent = SetDeviceClock(context, localTime);
    }
    if (sent) show(sent->texts());
}

void DeviceClockControls::show(const TimeTexts& texts) {
    for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
        m_host.control<QLineEdit>(ControlsHost::kYearEdit + i)
            ->setText(QString::fromStdString(texts[i]));
    }
}

}  // namespace tavolex
