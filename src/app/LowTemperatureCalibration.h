// The window's group "校机": the resistor chosen or typed in 1055 and the button
// "4路低温探头校机" (1051) that starts the instrument's low-temperature probe calibration.
#pragma once

#include <QObject>

namespace tavolex {

class MainDialog;

class LowTemperatureCalibration final : public QObject {
public:
    // Connects the group's button.
    explicit LowTemperatureCalibration(MainDialog& window);

    // Starts the calibration with the resistor the list names.
    void calibrate();

private:
    MainDialog& m_window;
};

}  // namespace tavolex
