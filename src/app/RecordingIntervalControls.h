// The main window's recording interval: edit 1080 with "读取" (the instrument's interval into
// the edit) and "设置" (the edit's number to the instrument; the edit keeps what was typed).
#pragma once

namespace tavolex {

class MainDialog;

class RecordingIntervalControls final {
public:
    // Connects the window's buttons 1081 and 1082.
    explicit RecordingIntervalControls(MainDialog& window);

    void read();
    void set();

private:
    MainDialog& m_window;
};

}  // namespace tavolex
