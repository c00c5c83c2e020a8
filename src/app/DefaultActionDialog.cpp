#include "DefaultActionDialog.h"

#include <QKeyEvent>
#include <QPushButton>

namespace tavolex {

void DefaultActionDialog::setVisible(bool visible) {
    QDialog::setVisible(visible);
    if (!visible) return;
    // Showing a dialog would make its first push button the default one.
    for (QPushButton* button : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        if (button->isDefault() && !button->hasFocus()) button->setDefault(false);
    }
}

void DefaultActionDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier) {
        defaultAction();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace tavolex
