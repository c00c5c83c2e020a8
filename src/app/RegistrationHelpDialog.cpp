#include "RegistrationHelpDialog.h"

#include <QLabel>

#include "DialogUnits.h"
#include "ScannerApp.h"
#include "Translations.h"

namespace tavolex {

namespace {

constexpr int kPointSize = 10;

struct HelpBlock {
    const char* text;
    int top;
    int height;
};

constexpr HelpBlock kBlocks[] = {
    {QT_TRANSLATE_NOOP("RegistrationHelpDialog",
                       "1.全自动注册每个端口最多接32个探头，超过32个的注册不了。"),
     15, 20},
    {QT_TRANSLATE_NOOP("RegistrationHelpDialog",
                       "2."
                       "全自动注册成功后，默认两个端口所接探头的通道号是连续的，例如：端口A接10个探"
                       "头，端口B接15个"
                       "探头，注册成功后，通道1~通道10表示的是端口A的10个探头，通道11~"
                       "通道25表示的是端口B的15个探头"
                       "。"),
     43, 45},
    {QT_TRANSLATE_NOOP("RegistrationHelpDialog",
                       "3.半自动注册时，只能接一个探头，随便接在端口A还是端口B。"),
     98, 20},
    {QT_TRANSLATE_NOOP(
         "RegistrationHelpDialog",
         "4.无论何种注册方式，注册时所勾选的端口号必须和探头所接的端口号一致，否则读不到数据。"),
     130, 36},
};
constexpr int kBlockLeft = 19;
constexpr int kBlockWidth = 176;

}  // namespace

RegistrationHelpDialog::RegistrationHelpDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    const DialogUnits units = DialogUnits::ForPointSize(kPointSize);
    setFont(ScannerApp::DialogFont(kPointSize));
    // The title bar stays blank: Qt would show the application's name for an empty title.
    setWindowTitle(QStringLiteral(" "));
    setFixedSize(units.size(215, 175));

    for (const HelpBlock& block : kBlocks) {
        auto* label = new QLabel(Tr("RegistrationHelpDialog", block.text), this);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setGeometry(units.rect(kBlockLeft, block.top, kBlockWidth, block.height));
    }
}

void RegistrationHelpDialog::centreOverOwner() {
    if (const QWidget* owner = parentWidget()) CentreOver(*this, *owner);
}

}  // namespace tavolex
