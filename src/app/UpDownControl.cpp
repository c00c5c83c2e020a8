#include "UpDownControl.h"
#include "Translations.h"

#include <QKeyEvent>
#include <QToolButton>
#include <algorithm>

namespace tavolex {

namespace {

QToolButton* ArrowButton(QWidget* parent, Qt::ArrowType arrow, const QString& name) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(name);
    return button;
}

}  // namespace

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent),
      m_up(ArrowButton(this, Qt::UpArrow, Tr("UpDownControl", "增加"))),
      m_down(ArrowButton(this, Qt::DownArrow, Tr("UpDownControl", "减少"))) {
    setFocusPolicy(Qt::StrongFocus);
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDownControl::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    setPosition(m_position);
}

void UpDownControl::setPosition(int position) {
    m_position = std::clamp(position, m_minimum, m_maximum);
}

void UpDownControl::step(int direction) {
    setPosition(m_position + direction);
    emit stepped(m_position);
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up) {
        step(1);
    } else if (event->key() == Qt::Key_Down) {
        step(-1);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

}  // namespace tavolex
