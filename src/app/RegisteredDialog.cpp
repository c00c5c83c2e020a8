#include "RegisteredDialog.h"

#include <QCoreApplication>
#include <QLabel>

#include "DialogUnits.h"
#include "ScannerApp.h"
#include "ShownText.h"
#include "Translations.h"

namespace tavolex {

namespace {

constexpr int kPointSize = 9;
constexpr int kLineTop = 37;

}  // namespace

RegisteredDialog::RegisteredDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    setFont(ScannerApp::DialogFont(kPointSize));
    setWindowTitle(Tr("RegisteredDialog", "温度巡检仪 KORVA VELTA-2 Ver3.2"));
    setFixedSize(units.size(167, 85));

    auto* channel = new QLabel(Tr("RegisteredDialog", "通道："), this);
    channel->setGeometry(units.rect(42, kLineTop, 26, 8));

    // Two blanks stand in for the number until one is set.
    m_number = new QLabel(QStringLiteral("  "), this);
    m_number->setObjectName(QStringLiteral("1087"));
    SetValueCaption(m_number, Tr("RegisteredDialog", "通道"));
    m_number->setGeometry(units.rect(70, kLineTop, 14, 8));

    auto* done = new QLabel(Tr("RegisteredDialog", "注册成功！"), this);
    done->setGeometry(units.rect(84, kLineTop, 44, 8));
}

void RegisteredDialog::setChannelNumber(int channel) {
    ShowValue(m_number, QString::number(channel));
}

void RegisteredDialog::centreOverOwner() {
    if (const QWidget* owner = parentWidget()) CentreOver(*this, *owner);
}

void RegisteredDialog::repaintNow() {
    repaint();
    // A newly shown window needs its map and expose events before anything reaches the screen.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace tavolex
