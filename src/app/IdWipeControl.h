// The main window's "删除全部ID": after the operator confirms, the instrument forgets the
// probe registered to every channel. Nothing in the window changes.
#pragma once

namespace tavolex {

class MainDialog;

class IdWipeControl final {
public:
    // Connects the window's button 1074.
    explicit IdWipeControl(MainDialog& window);

    void press();

private:
    MainDialog& m_window;
};

}  // namespace tavolex
