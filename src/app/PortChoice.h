// The main window's way to the port chooser: the menu item "选择串口(&S)..." and the "…" button
// at the end of the "串口号:" field open it, and the number chosen there goes into the field.
#pragma once

#include <QObject>
#include <optional>

#include "PortNaming.h"

class QAction;

namespace tavolex {

class ControlsHost;

class PortChoice final : public QObject {
    Q_OBJECT
public:
    explicit PortChoice(ControlsHost& window);

    QAction& action() { return *m_action; }
    // The "…" button in the "串口号:" field.
    QAction& fieldButton() { return *m_button; }
    // Where the chooser looks for devices and keeps its links: the machine's own unless set.
    void setDeviceTree(DeviceTree tree) { m_tree = std::move(tree); }

public slots:
    // Opens the chooser with the field's port selected.
    void choose();

private:
    ControlsHost& m_window;
    QAction* m_action = nullptr;
    QAction* m_button = nullptr;
    std::optional<DeviceTree> m_tree;
};

}  // namespace tavolex
