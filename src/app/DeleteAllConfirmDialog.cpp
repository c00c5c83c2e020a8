#include "DeleteAllConfirmDialog.h"

#include <QPushButton>

#include "ControlBuilder.h"
#include "DialogUnits.h"
#include "ScannerApp.h"
#include "Translations.h"

namespace tavolex {

namespace {

constexpr int kPointSize = 10;

}  // namespace

DeleteAllConfirmDialog::DeleteAllConfirmDialog(QWidget* owner) : QDialog(owner) {
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    setFont(ScannerApp::DialogFont(kPointSize));
    setWindowTitle(Tr("DeleteAllConfirmDialog", "提示"));
    setFixedSize(units.size(141, 77));

    ControlBuilder make(*this, units);
    make.text(Tr("DeleteAllConfirmDialog", "确定要删除全部ID号吗？"), {29, 19, 83, 8});
    QPushButton* ok = make.button(1, Tr("DeleteAllConfirmDialog", "确定"), {23, 42, 39, 14});
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    QPushButton* cancel = make.button(2, Tr("DeleteAllConfirmDialog", "取消"), {78, 41, 39, 14});
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace tavolex
