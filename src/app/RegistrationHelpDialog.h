// The registration help text, shown while the pointer rests on the main window's "帮助"
// label. Created hidden with the main window and only ever shown or hidden.
#pragma once

#include <QDialog>

namespace tavolex {

class RegistrationHelpDialog final : public QDialog {
    Q_OBJECT
public:
    explicit RegistrationHelpDialog(QWidget* owner);

    // Centres the window over its owner.
    void centreOverOwner();
};

}  // namespace tavolex
