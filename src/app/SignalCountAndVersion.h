// The window's channel count button "设置" (1004) and its version label (1053), which reads the
// instrument's firmware version when clicked.
#pragma once

#include <QObject>

namespace tavolex {

class MainDialog;

class SignalCountAndVersion final : public QObject {
public:
    // Connects the button and the label of the window.
    explicit SignalCountAndVersion(MainDialog& window);

    // Sends the signal count the window holds.
    void setSignalCount();
    // Shows the version read in the label; a failed read leaves its text as it was.
    void readVersion();

private:
    MainDialog& m_window;
};

}  // namespace tavolex
