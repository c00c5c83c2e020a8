#include "ControlBuilder.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableWidget>
#include <algorithm>

namespace tavolex {

void SetCheckedIndex(QButtonGroup& group, int index) {
    if (QAbstractButton* button = group.button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group cannot be cleared button by button.
    group.setExclusive(false);
    for (QAbstractButton* button : group.buttons())
        button->setChecked(false);
    group.setExclusive(true);
}

int ButtonWidthFor(const QPushButton& button, int least) {
    const QStyle* style = button.style();
    const int room = 2 * (style->pixelMetric(QStyle::PM_ButtonMargin) +
                          style->pixelMetric(QStyle::PM_DefaultFrameWidth));
    const QString shown = QString(button.text()).remove(QLatin1Char('&'));
    return std::max(least, button.fontMetrics().horizontalAdvance(shown) + room);
}

QGroupBox* ControlBuilder::group(const QString& title, Du du) {
    auto* box = new QGroupBox(title, &m_window);
    place(box, du);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    box->lower();
    return box;
}

QLabel* ControlBuilder::text(const QString& caption, Du du, Qt::Alignment alignment) {
    auto* label = new QLabel(caption, &m_window);
    place(label, du);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

QLineEdit* ControlBuilder::edit(int id, Du du, const QString& accessibleName,
                                const QString& content) {
    auto* edit = new QLineEdit(content, &m_window);
    identify(edit, id, accessibleName);
    place(edit, du);
    return edit;
}

QPushButton* ControlBuilder::button(int id, const QString& caption, Du du) {
    auto* button = new QPushButton(caption, &m_window);
    identify(button, id, caption);
    place(button, du);
    return button;
}

QRadioButton* ControlBuilder::radio(int id, const QString& caption, Du du, QButtonGroup& group,
                                    int index) {
    auto* radio = new QRadioButton(caption, &m_window);
    identify(radio, id, caption);
    place(radio, du);
    group.addButton(radio, index);
    return radio;
}

QComboBox* ControlBuilder::combo(int id, Du du, const QString& accessibleName,
                                 const QStringList& items, bool editable) {
    auto* combo = new QComboBox(&m_window);
    identify(combo, id, accessibleName);
    place(combo, du);
    combo->setEditable(editable);
    if (editable) combo->setInsertPolicy(QComboBox::NoInsert);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    return combo;
}

QCheckBox* ControlBuilder::check(int id, const QString& caption, Du du) {
    auto* check = new QCheckBox(caption, &m_window);
    identify(check, id, caption);
    place(check, du);
    return check;
}

QTableWidget* ControlBuilder::list(int id, Du du, const QString& accessibleName) {
    auto* list = new QTableWidget(&m_window);
    identify(list, id, accessibleName);
    place(list, du);
    return list;
}

QListWidget* ControlBuilder::listBox(int id, Du du, const QString& accessibleName) {
    auto* list = new QListWidget(&m_window);
    identify(list, id, accessibleName);
    place(list, du);
    return list;
}

void ControlBuilder::place(QWidget* widget, Du du) {
    widget->setGeometry(m_units.rect(du.left, du.top, du.width, du.height));
}

void ControlBuilder::identify(QWidget* widget, int id, const QString& accessibleName) {
    widget->setObjectName(QString::number(id));
    widget->setAccessibleName(accessibleName);
}

}  // namespace tavolex
