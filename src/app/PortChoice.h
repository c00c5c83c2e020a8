// The main window's way to the port chooser: the menu item "选择串口(&S)..." and a double
// click on the "串口号:" field open it, and the number chosen there goes into the field.
#pragma once

#include <QObject>
#include <optional>

#include "PortNaming.h"

class QAction;

namespace tavolex {

class MainDialog;

class PortChoice final : public QObject {
    Q_OBJECT
public:
    explicit PortChoice(MainDialog& window);

    QAction& action() { return *m_action; }
    // Where the chooser looks for devices and keeps its links: the machine's own unless set.
    void setDeviceTree(DeviceTree tree) { m_tree = std::move(tree); }

public slots:
    // Opens the chooser with the field's port selected.
    void choose();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainDialog& m_window;
    QAction* m_action = nullptr;
    std::optional<DeviceTree> m_tree;
};

}  // namespace tavolex
