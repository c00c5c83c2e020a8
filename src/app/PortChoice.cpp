#include "PortChoice.h"

#include <QAction>
#include <QEvent>
#include <QLineEdit>

#include "MainDialog.h"
#include "PortDialog.h"
#include "Translations.h"

namespace tavolex {

PortChoice::PortChoice(MainDialog& window) : m_window(window) {
    m_action = new QAction(Tr("PortChoice", "选择串口(&S)..."), this);
    connect(m_action, &QAction::triggered, this, &PortChoice::choose);
    m_window.control<QLineEdit>(MainDialog::kPortEdit)->installEventFilter(this);
}

void PortChoice::choose() {
    QLineEdit* field = m_window.control<QLineEdit>(MainDialog::kPortEdit);
    PortDialog dialog(m_tree.value_or(DeviceTree{}), m_window.person(), field->text().toInt(),
                      &m_window);
    if (dialog.exec() != QDialog::Accepted || !dialog.chosenPort()) return;
    m_window.values().portNumber = *dialog.chosenPort();
    field->setText(QString::number(*dialog.chosenPort()));
}

bool PortChoice::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        choose();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tavolex
