// The window's group "校机": the resistor chosen or typed in 1055 and the button
// "4路低温探头校机" (1051) that starts the instrument's low-temperature probe calibration.
#pragma once

#include <QObject>

namespace tavolex {

class ControlBuilder;
class ControlsHost;

class LowTemperatureCalibrationControls final : public QObject {
public:
    explicit LowTemperatureCalibrationControls(ControlsHost& host) : m_host(host) {}

    // The group "校机", connected.
    void build(ControlBuilder& make);

    // Starts the calibration with the resistor the list names.
    void calibrate();

private:
    ControlsHost& m_host;
};

}  // namespace tavolex
