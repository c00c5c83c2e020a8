// A static text that takes clicks.
#pragma once

#include <QLabel>

namespace tavolex {

class ClickableLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace tavolex
