#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "AboutDialog.h"
#include "FakeLine.h"
#include "MainDialog.h"
#include "QtOperator.h"
#include "RecordingOperator.h"
#include "RegisteredDialog.h"
#include "RegistrationHelpDialog.h"

namespace tavolex {
namespace {

using testing::FakeLine;
using testing::FakePortOpener;
using testing::ManualClock;
using testing::RecordingOperator;

// Runs `inspect` on the modal window that `open` brings up, then closes that window.
template <typename Open, typename Inspect>
void WithModal(Open open, Inspect inspect) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        seen = true;
        inspect(*modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->done(QDialog::Accepted);
    });
    open();
    EXPECT_TRUE(seen) << "no modal window came up";
}

QStringList LabelTexts(const QWidget& window) {
    QList<QLabel*> labels = window.findChildren<QLabel*>();
    std::sort(labels.begin(), labels.end(),
              [](const QLabel* a, const QLabel* b) { return a->y() < b->y(); });
    QStringList texts;
    for (const QLabel* label : labels)
        texts << label->text();
    return texts;
}

QPoint Centre(const QWidget& window) {
    return window.geometry().center();
}

class SmallDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    ManualClock clock;
    FakeLine line{clock};
    FakePortOpener ports{line};
    RecordingOperator person;
    MainDialog window{ports, clock, person};
};

TEST_F(SmallDialogsTest, HelpShowsOnlyWhileThePointerIsOverTheHelpArea) {
    const DialogUnits units = DialogUnits::ForPointSize(9);
    const auto move = [&](int x, int y) {
        QTest::mouseMove(window.windowHandle(), QPoint(units.pixels(x), units.pixels(y)));
        return window.registrationHelp().isVisible();
    };
    EXPECT_FALSE(window.registrationHelp().isVisible());
    EXPECT_TRUE(move(751, 590));
    EXPECT_LE((Centre(window.registrationHelp()) - Centre(window)).manhattanLength(), 2);
    EXPECT_FALSE(move(750, 595));
    EXPECT_TRUE(move(811, 600));
    EXPECT_FALSE(move(812, 595));
    EXPECT_TRUE(move(780, 595));
    EXPECT_FALSE(move(780, 589));
    EXPECT_TRUE(move(760, 598));
    EXPECT_FALSE(move(780, 601));
}

TEST_F(SmallDialogsTest, HelpWindowHoldsTheFourTextsFromTopToBottom) {
    const RegistrationHelpDialog& help = window.registrationHelp();
    EXPECT_TRUE(help.windowTitle().trimmed().isEmpty());
    EXPECT_TRUE(help.findChildren<QPushButton*>().isEmpty());
    const QStringList texts = LabelTexts(help);
    ASSERT_EQ(texts.size(), 4);
    EXPECT_EQ(texts[0], QStringLiteral("1.全自动注册每个端口最多接32个探头，超过32个的注册不了。"));
    EXPECT_EQ(
        texts[1],
        QStringLiteral("2.全自动注册成功后，默认两个端口所接探头的通道号是连续的，例如：端口A接"
                       "10个探头，端口B接15个探头，注册成功后，通道1~通道10表示的是端口A的10"
                       "个探头，通道11~通道25表示的是端口B的15个探头。"));
    EXPECT_EQ(texts[2], QStringLiteral("3.半自动注册时，只能接一个探头，随便接在端口A还是端口B。"));
    EXPECT_EQ(texts[3], QStringLiteral("4.无论何种注册方式，注册时所勾选的端口号必须和探头所接的端"
                                       "口号一致，否则读不到数据。"));
    // Each block wraps inside its own band: the longest needs more than one line.
    for (const QLabel* label : help.findChildren<QLabel*>()) {
        EXPECT_TRUE(label->wordWrap());
        EXPECT_GE(label->height(), label->heightForWidth(label->width()) - 2)
            << label->text().toStdString();
    }
}

TEST_F(SmallDialogsTest, RegisteredPopupShowsTheChannelCentredOverTheWindow) {
    RegisteredDialog& popup = window.registeredPopup();
    EXPECT_FALSE(popup.isVisible());
    EXPECT_EQ(LabelTexts(popup).join('|'), QStringLiteral("通道：|  |注册成功！"));

    popup.setChannelNumber(7);
    popup.centreOverOwner();
    popup.show();
    popup.repaintNow();
    EXPECT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.findChild<QLabel*>("1087")->text(), "7");
    EXPECT_LE((Centre(popup) - Centre(window)).manhattanLength(), 2);
    popup.hide();
    EXPECT_FALSE(popup.isVisible());
}

TEST_F(SmallDialogsTest, AboutItemOpensTheAboutBox) {
    EXPECT_EQ(window.aboutAction().text(), QStringLiteral("关于 TAVOLEX(&A)..."));
    WithModal(
        [&] { window.aboutAction().trigger(); },
        [](QWidget& about) {
            EXPECT_NE(qobject_cast<AboutDialog*>(&about), nullptr);
            EXPECT_EQ(about.windowTitle(), QStringLiteral("关于 温度巡检仪  KORVA VELTA-2 Ver3.2"));
            EXPECT_TRUE(LabelTexts(about).contains(QStringLiteral("温度巡检仪  KORVA VELTA-2")));
            EXPECT_EQ(about.findChild<QPushButton*>("1")->text(), QStringLiteral("确定"));
        });
}

TEST_F(SmallDialogsTest, MessageBoxHasOneOkButtonAndTheApplicationsName) {
    QtOperator onScreen(&window);
    WithModal([&] { onScreen.message("打开串口错误!"); },
              [&](QWidget& modal) {
                  auto* box = qobject_cast<QMessageBox*>(&modal);
                  ASSERT_NE(box, nullptr);
                  EXPECT_EQ(box->windowTitle(), QCoreApplication::applicationName());
                  EXPECT_EQ(box->text(), QStringLiteral("打开串口错误!"));
                  EXPECT_EQ(box->accessibleName(), QStringLiteral("打开串口错误!"));
                  EXPECT_EQ(box->buttons().size(), 1);
                  EXPECT_EQ(box->parentWidget(), &window);
              });
}

}  // namespace
}  // namespace tavolex
