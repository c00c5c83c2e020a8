// Setting what a control shows together with what assistive tools announce for it: a button's
// name is its current caption, and a label that shows a value names its caption and the value
// ("成功次数 12"). Every text that changes at run time is set through these.
#pragma once

#include <QString>
#include <string_view>

class QAbstractButton;
class QLabel;
class QWidget;

namespace tavolex {

// A text of the program's own (UTF-8) as Qt shows it.
inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Gives a value label the caption that its accessible name starts with.
void SetValueCaption(QLabel* label, const QString& caption);
// Shows the value in the label; its accessible name becomes "<caption> <value>", or the value
// alone for a label without a caption.
void ShowValue(QLabel* label, const QString& value);
// Sets a button's caption and its accessible name.
void ShowCaption(QAbstractButton* button, const QString& caption);

}  // namespace tavolex
