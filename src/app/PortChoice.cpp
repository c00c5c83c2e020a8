#include "PortChoice.h"

#include <QAction>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>

#include "ControlsHost.h"
#include "PortDialog.h"
#include "Translations.h"

namespace tavolex {

namespace {

// "…" drawn in the field's own font and text colour, for the button at the field's end.
QIcon EllipsisIcon(const QLineEdit& field) {
    const int side = field.fontMetrics().height();
    QPixmap picture(side, side);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setFont(field.font());
    painter.setPen(field.palette().color(QPalette::Text));
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("\u2026"));
    return QIcon(picture);
}

}  // namespace

PortChoice::PortChoice(ControlsHost& window) : m_window(window) {
    m_action = new QAction(Tr("PortChoice", "选择串口(&S)..."), this);
    connect(m_action, &QAction::triggered, this, &PortChoice::choose);
    QLineEdit* field = m_window.control<QLineEdit>(ControlsHost::kPortEdit);
    m_button = field->addAction(EllipsisIcon(*field), QLineEdit::TrailingPosition);
    m_button->setText(Tr("PortChoice", "选择串口..."));
    m_button->setToolTip(m_button->text());
    connect(m_button, &QAction::triggered, this, &PortChoice::choose);
}

void PortChoice::choose() {
    QLineEdit* field = m_window.control<QLineEdit>(ControlsHost::kPortEdit);
    PortDialog dialog(m_tree.value_or(DeviceTree{}), m_window.person(), field->text().toInt(),
                      &m_window.owner());
    if (dialog.exec() != QDialog::Accepted || !dialog.chosenPort()) return;
    m_window.values().portNumber = *dialog.chosenPort();
    field->setText(QString::number(*dialog.chosenPort()));
}

}  // namespace tavolex
