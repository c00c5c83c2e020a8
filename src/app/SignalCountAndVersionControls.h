// The window's channel count field (1003) and its button "设置" (1004), and the version label
// (1053), which reads the instrument's firmware version when clicked.
#pragma once

#include <QObject>

namespace tavolex {

class ControlBuilder;
class ControlsHost;

class SignalCountAndVersionControls final : public QObject {
public:
    explicit SignalCountAndVersionControls(ControlsHost& host) : m_host(host) {}

    // The row "设置信号数:", connected.
    void buildCountRow(ControlBuilder& make);
    // The label "点击读取版本", connected.
    void buildVersionLabel(ControlBuilder& make);

    // Sends the signal count the window holds.
    void setSignalCount();
    // Shows the version read in the label; a failed read leaves its text as it was.
    void readVersion();

private:
    ControlsHost& m_host;
};

}  // namespace tavolex
