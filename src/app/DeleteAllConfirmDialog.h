// The question asked before the instrument forgets every registered probe ID: OK goes on,
// Cancel, Escape or the close box leave everything as it was.
#pragma once

#include <QDialog>

namespace tavolex {

class DeleteAllConfirmDialog final : public QDialog {
    Q_OBJECT
public:
    explicit DeleteAllConfirmDialog(QWidget* owner);
};

}  // namespace tavolex
