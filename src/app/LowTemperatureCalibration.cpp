#include "LowTemperatureCalibration.h"

#include <QComboBox>
#include <QPushButton>

#include "BusyCursor.h"
#include "MainDialog.h"
#include "ProbeCalibration.h"

namespace tavolex {

LowTemperatureCalibration::LowTemperatureCalibration(MainDialog& window) : m_window(window) {
    connect(window.control<QPushButton>(MainDialog::kCalibrateButton), &QPushButton::clicked, this,
            &LowTemperatureCalibration::calibrate);
}

void LowTemperatureCalibration::calibrate() {
    // The list's text as a whole number: leading blanks skipped, up to the first non-digit.
    const std::int32_t ohms = LeadingNumber(
        m_window.control<QComboBox>(MainDialog::kResistorCombo)->currentText().toStdString());
    if (!m_window.refresh()) return;
    const BusyCursor busy;
    CalibrateLowTemperatureProbes(m_window, m_window.link(), m_window.person(),
                                  m_window.linkSettings().addressByte(), ohms);
}

}  // namespace tavolex
