// The popup that reports each channel registered from a file: "通道：n 注册成功！". Created
// hidden with the main window; a registration run sets the number, shows it, repaints it
// while the run keeps the window thread busy, and hides it at the end.
#pragma once

#include <QDialog>

class QLabel;

namespace tavolex {

class RegisteredDialog final : public QDialog {
    Q_OBJECT
public:
    explicit RegisteredDialog(QWidget* owner);

    // The channel number in decimal, without padding.
    void setChannelNumber(int channel);
    void centreOverOwner();
    // Paints the window now, without waiting for the event loop.
    void repaintNow();

private:
    QLabel* m_number;
};

}  // namespace tavolex
