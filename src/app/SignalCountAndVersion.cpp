#include "SignalCountAndVersion.h"

#include <QLabel>
#include <QPushButton>

#include "BusyCursor.h"
#include "ChannelCount.h"
#include "ClickableLabel.h"
#include "MainDialog.h"
#include "ShownText.h"

namespace tavolex {

SignalCountAndVersion::SignalCountAndVersion(MainDialog& window) : m_window(window) {
    connect(window.control<QPushButton>(MainDialog::kSetSignalCountButton), &QPushButton::clicked,
            this, &SignalCountAndVersion::setSignalCount);
    connect(window.control<ClickableLabel>(MainDialog::kVersionLabel), &ClickableLabel::clicked,
            this, &SignalCountAndVersion::readVersion);
}

void SignalCountAndVersion::setSignalCount() {
    if (!m_window.refresh()) return;
    const BusyCursor busy;
    SetSignalCount(m_window, m_window.link(), m_window.person(),
                   m_window.linkSettings().addressByte(), m_window.values().signalCount);
}

void SignalCountAndVersion::readVersion() {
    // The request goes to the address the window shows now, not to the last one taken.
    if (!m_window.refresh()) return;
    std::optional<std::string> version;
    {
        const BusyCursor busy;
        version = ReadFirmwareVersion(m_window, m_window.link(), m_window.person(),
                                      m_window.linkSettings().addressByte());
    }
    if (version) {
        ShowValue(m_window.control<QLabel>(MainDialog::kVersionLabel),
                  QString::fromStdString(*version));
    }
}

}  // namespace tavolex
