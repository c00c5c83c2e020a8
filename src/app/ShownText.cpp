#include "ShownText.h"

#include <QAbstractButton>
#include <QLabel>
#include <QVariant>

namespace tavolex {

namespace {

constexpr char kCaptionProperty[] = "tavolexValueCaption";

}  // namespace

void SetValueCaption(QLabel* label, const QString& caption) {
    label->setProperty(kCaptionProperty, caption);
    ShowValue(label, label->text());
}

void ShowValue(QLabel* label, const QString& value) {
    label->setText(value);
    const QString caption = label->property(kCaptionProperty).toString();
    if (caption.isEmpty()) {
        label->setAccessibleName(value);
    } else {
        label->setAccessibleName(value.isEmpty() ? caption : caption + QLatin1Char(' ') + value);
    }
}

void ShowCaption(QAbstractButton* button, const QString& caption) {
    button->setText(caption);
    button->setAccessibleName(caption);
}

}  // namespace tavolex
