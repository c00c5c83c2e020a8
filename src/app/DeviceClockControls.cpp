#include "DeviceClockControls.h"

#include <QLineEdit>
#include <QPushButton>

#include "BusyCursor.h"
#include "ErrorLog.h"
#include "MainDialog.h"

namespace tavolex {

DeviceClockControls::DeviceClockControls(MainDialog& window)
    : localTime(LocalTimeNow), m_window(window) {
    QObject::connect(window.control<QPushButton>(MainDialog::kReadClockButton),
                     &QPushButton::clicked, &window, [this] { read(); });
    QObject::connect(window.control<QPushButton>(MainDialog::kSetClockButton),
                     &QPushButton::clicked, &window, [this] { set(); });
}

void DeviceClockControls::read() {
    std::optional<DeviceTimestamp> stamp;
    {
        const BusyCursor busy;
        stamp = ReadDeviceClock(m_window, m_window.link(), m_window.person());
    }
    if (stamp) show(stamp->fieldTexts());
}

void DeviceClockControls::set() {
    std::optional<LocalDateTime> sent;
    {
        const BusyCursor busy;
        sent = SetDeviceClock(m_window, m_window.link(), m_window.person(), localTime);
    }
    if (sent) show(sent->texts());
}

void DeviceClockControls::show(const TimeTexts& texts) {
    for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
        m_window.control<QLineEdit>(MainDialog::kYearEdit + i)
            ->setText(QString::fromStdString(texts[i]));
    }
}

}  // namespace tavolex
