#include "RecordingIntervalControls.h"

#include <QLineEdit>
#include <QPushButton>

#include "BusyCursor.h"
#include "MainDialog.h"
#include "RecordingInterval.h"

namespace tavolex {

RecordingIntervalControls::RecordingIntervalControls(MainDialog& window) : m_window(window) {
    QObject::connect(window.control<QPushButton>(MainDialog::kReadIntervalButton),
                     &QPushButton::clicked, &window, [this] { read(); });
    QObject::connect(window.control<QPushButton>(MainDialog::kSetIntervalButton),
                     &QPushButton::clicked, &window, [this] { set(); });
}

void RecordingIntervalControls::read() {
    std::optional<int> minutes;
    {
        const BusyCursor busy;
        minutes = ReadRecordingInterval(m_window, m_window.link(), m_window.person());
    }
    if (minutes) {
        m_window.control<QLineEdit>(MainDialog::kIntervalEdit)->setText(QString::number(*minutes));
    }
}

void RecordingIntervalControls::set() {
    // Read as the usual text-to-number conversion does: "7.9" is 7, text without a number 0.
    const std::int32_t minutes =
        LeadingNumber(m_window.control<QLineEdit>(MainDialog::kIntervalEdit)->text().toStdString());
    const BusyCursor busy;
    SetRecordingInterval(m_window, m_window.link(), m_window.person(), minutes);
}

}  // namespace tavolex
