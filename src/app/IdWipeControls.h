// The main window's "删除全部ID": after the operator confirms, the instrument forgets the
// probe registered to every channel. Nothing in the window changes.
#pragma once

namespace tavolex {

class ControlBuilder;
class ControlsHost;

class IdWipeControls final {
public:
    explicit IdWipeControls(ControlsHost& host) : m_host(host) {}

    // The button "删除全部ID", connected.
    void build(ControlBuilder& make);

    void press();

private:
    ControlsHost& m_host;
};

}  // namespace tavolex
