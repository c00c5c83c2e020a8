// The main window's recording interval: edit 1080 with "读取" (the instrument's interval into
// the edit) and "设置" (the edit's number to the instrument; the edit keeps what was typed).
#pragma once

namespace tavolex {

class ControlBuilder;
class ControlsHost;

class RecordingIntervalControls final {
public:
    explicit RecordingIntervalControls(ControlsHost& host) : m_host(host) {}

    // The row "设备主动记录温度时间:", connected.
    void build(ControlBuilder& make);

    void read();
    void set();

private:
    ControlsHost& m_host;
};

}  // namespace tavolex
