// The main window's "设备时间" group: "读取" shows the instrument's clock in the six edits,
// "设置当前系统时间" sets it to the PC's local time and shows the time sent. The edits only
// show; nothing reads what is typed into them.
#pragma once

#include "InstrumentClock.h"

namespace tavolex {

class ControlBuilder;
class ControlsHost;

class DeviceClockControls final {
public:
    explicit DeviceClockControls(ControlsHost& host);

    // The group "设备时间", connected.
    void build(ControlBuilder& make);

    void read();
    void set();

    // The PC's local time, taken once for each set.
    LocalTimeSource localTime;

private:
    void show(const TimeTexts& texts);

    ControlsHost& m_host;
};

}  // namespace tavolex
