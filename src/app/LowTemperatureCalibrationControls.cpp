#include "LowTemperatureCalibrationControls.h"

#include <QComboBox>
#include <QPushButton>

#include "BusyCursor.h"
#include "ControlBuilder.h"
#include "ControlsHost.h"
#include "ProbeCalibration.h"
#include "Translations.h"

namespace tavolex {

void LowTemperatureCalibrationControls::build(ControlBuilder& make) {
    make.group(Tr("MainDialog", "校机"), {10, 217, 125, 43});
    make.text(Tr("MainDialog", "选择电阻"), {16, 227, 34, 8});
    make.combo(ControlsHost::kResistorCombo, {52, 225, 50, 14}, Tr("MainDialog", "选择电阻"),
               {QStringLiteral("23"), QStringLiteral("100"), QStringLiteral("143")}, true);
    QPushButton* calibrateButton = make.button(
        ControlsHost::kCalibrateButton, Tr("MainDialog", "4路低温探头校机"), {16, 241, 110, 14});
    connect(calibrateButton, &QPushButton::clicked, this,
            &LowTemperatureCalibrationControls::calibrate);
}

void LowTemperatureCalibrationControls::calibrate() {
    // The list's text as a whole number: leading blanks skipped, up to the first non-digit.
    const std::int32_t ohms = LeadingNumber(
        m_host.control<QComboBox>(ControlsHost::kResistorCombo)->currentText().toStdString());
    if (!m_host.takeSettings()) return;
    const BusyCursor busy;
    OperationContext context = m_host.operation();
    CalibrateLowTemperatureProbes(context, ohms);
}

}  // namespace tavolex
