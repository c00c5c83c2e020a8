// An up-down control without a buddy: two arrow buttons and the arrow keys step a position
// within a range. A step is reported; a position set by the program is not.
#pragma once

#include <QWidget>

class QToolButton;

namespace tavolex {

class UpDownControl final : public QWidget {
    Q_OBJECT
public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int position() const { return m_position; }
    // Moves to the position (clamped); no step is reported.
    void setPosition(int position);
    // One step up (+1) or down (-1), clamped to the range, then reported.
    void step(int direction);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    // After every step, with the position the step left.
    void stepped(int position);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
};

}  // namespace tavolex
