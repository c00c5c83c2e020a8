// The About box: the program's icon, its name and model, and an OK button.
#pragma once

#include <QDialog>

namespace tavolex {

class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* owner);
};

}  // namespace tavolex
