// A window without a default button, as the program's windows are: Enter on a push button
// presses that button (the button handles it), and anywhere else it is the window's default
// action, which closes it.
#pragma once

#include <QDialog>

namespace tavolex {

class DefaultActionDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Enter outside a push button.
    virtual void defaultAction() { accept(); }
};

}  // namespace tavolex
