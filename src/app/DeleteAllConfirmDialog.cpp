#include "DeleteAllConfirmDialog.h"

#include <QLabel>
#include <QPushButton>

#include "DialogUnits.h"
#include "ScannerApp.h"
#include "Translations.h"

namespace tavolex {

namespace {

constexpr int kPointSize = 10;

QPushButton* Button(QDialog& dialog, const char* id, const QString& caption, QRect geometry) {
    auto* button = new QPushButton(caption, &dialog);
    button->setObjectName(QString::fromLatin1(id));
    button->setAccessibleName(caption);
    button->setGeometry(geometry);
    return button;
}

}  // namespace

DeleteAllConfirmDialog::DeleteAllConfirmDialog(QWidget* owner) : QDialog(owner) {
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    setFont(ScannerApp::DialogFont(kPointSize));
    setWindowTitle(Tr("DeleteAllConfirmDialog", "提示"));
    setFixedSize(units.size(141, 77));

    auto* question = new QLabel(Tr("DeleteAllConfirmDialog", "确定要删除全部ID号吗？"), this);
    question->setGeometry(units.rect(29, 19, 83, 8));

    QPushButton* ok =
        Button(*this, "1", Tr("DeleteAllConfirmDialog", "确定"), units.rect(23, 42, 39, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    QPushButton* cancel =
        Button(*this, "2", Tr("DeleteAllConfirmDialog", "取消"), units.rect(78, 41, 39, 14));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace tavolex
