// A window built from a layout, as the program's windows are: its controls are found by their
// control IDs, and it has no default button: Enter on a push button presses that button (the
// button handles it), and anywhere else it is the window's default action, which closes it.
#pragma once

#include <QDialog>

namespace tavolex {

class DefaultActionDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
    void setVisible(bool visible) override;

    // The control with the given control ID (its object name).
    template <typename Control>
    Control* control(int id) const {
        return findChild<Control*>(QString::number(id), Qt::FindDirectChildrenOnly);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Enter outside a push button.
    virtual void defaultAction() { accept(); }
};

}  // namespace tavolex
