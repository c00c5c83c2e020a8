// Building a window from its layout: controls placed in dialog units, identified by their
// control IDs (the object name) and named for assistive tools.
#pragma once

#include <QString>
#include <QStringList>
#include <QValidator>

#include "DialogUnits.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QWidget;

namespace tavolex {

// A rectangle of a window's layout in dialog units: left, top, width, height.
struct Du {
    int left;
    int top;
    int width;
    int height;
};

// Upper-cases whatever is typed or pasted.
class UpperCaseValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

// The width a button in a layout needs for its caption with the room round it that the
// window's placed buttons leave; at least `least` pixels.
int ButtonWidthFor(const QPushButton& button, int least = 0);

// Checks the group's button with the given index, or none when no button has it.
void SetCheckedIndex(QButtonGroup& group, int index);

// Creates the controls of a window's layout as direct children of the window, in tab order.
// Group boxes and plain texts let the pointer through to the window, as the platform's static
// controls do, so that the window sees every movement over its own surface.
class ControlBuilder {
public:
    ControlBuilder(QDialog& window, const DialogUnits& units) : m_window(window), m_units(units) {}

    QGroupBox* group(const QString& title, Du du);
    QLabel* text(const QString& caption, Du du, Qt::Alignment alignment = Qt::AlignLeft);
    QLineEdit* edit(int id, Du du, const QString& accessibleName, const QString& content = {});
    QPushButton* button(int id, const QString& caption, Du du);
    QRadioButton* radio(int id, const QString& caption, Du du, QButtonGroup& group, int index);
    QComboBox* combo(int id, Du du, const QString& accessibleName, const QStringList& items,
                     bool editable);
    QCheckBox* check(int id, const QString& caption, Du du);
    QTableWidget* list(int id, Du du, const QString& accessibleName);
    QListWidget* listBox(int id, Du du, const QString& accessibleName);

    QDialog& window() const { return m_window; }
    const DialogUnits& units() const { return m_units; }

    template <typename Widget>
    Widget* identified(Widget* widget, int id, Du du, const QString& accessibleName) {
        identify(widget, id, accessibleName);
        place(widget, du);
        return widget;
    }

private:
    void place(QWidget* widget, Du du);
    static void identify(QWidget* widget, int id, const QString& accessibleName);

    QDialog& m_window;
    const DialogUnits& m_units;
};

}  // namespace tavolex
