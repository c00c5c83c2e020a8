#include "AboutDialog.h"

#include <QLabel>
#include <QPushButton>

#include "DialogUnits.h"
#include "ScannerApp.h"
#include "Translations.h"

namespace tavolex {

namespace {

constexpr int kPointSize = 9;

}  // namespace

AboutDialog::AboutDialog(QWidget* owner) : QDialog(owner) {
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    setFont(ScannerApp::DialogFont(kPointSize));
    setWindowTitle(Tr("AboutDialog", "关于 温度巡检仪  KORVA VELTA-2 Ver3.2"));
    setFixedSize(units.size(235, 71));

    auto* icon = new QLabel(this);
    icon->setPixmap(ScannerApp::Icon().pixmap(units.size(20, 20)));
    icon->setGeometry(units.rect(11, 17, 20, 20));
    icon->setAccessibleName(QStringLiteral("TAVOLEX"));

    // The program and its version above the instrument it serves; the instrument's firmware
    // version is the main window's own label.
    auto* program = new QLabel(QStringLiteral("TAVOLEX " TAVOLEX_VERSION), this);
    program->setGeometry(units.rect(40, 15, 130, 8));
    auto* text = new QLabel(Tr("AboutDialog", "温度巡检仪  KORVA VELTA-2"), this);
    text->setGeometry(units.rect(40, 27, 130, 8));

    auto* ok = new QPushButton(Tr("AboutDialog", "确定"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setAccessibleName(ok->text());
    ok->setGeometry(units.rect(178, 7, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tavolex
