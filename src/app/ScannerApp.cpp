#include "ScannerApp.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPushButton>
#include <QTimer>
#include <iostream>

#include "MainDialog.h"
#include "QtOperator.h"
#include "StreamOperator.h"
#include "Translations.h"

// The icons are compiled into this library; a static library's resources must be
// registered by name before first use.
static void RegisterResources() {
    Q_INIT_RESOURCE(tavolex);
}

namespace tavolex {

namespace {

const QString kDialogFamily = QStringLiteral("宋体");
// The faces that may stand in for it, best first: Debian's fonts-arphic-gbsn00lp (a Song face
// with the GB 2312 characters), then the other Chinese fonts the package accepts instead.
const QStringList kChineseFamilies = {
    QStringLiteral("AR PL SungtiL GB"),     QStringLiteral("Noto Serif CJK SC"),
    QStringLiteral("Noto Sans CJK SC"),     QStringLiteral("WenQuanYi Micro Hei"),
    QStringLiteral("WenQuanYi Zen Hei"),    QStringLiteral("AR PL UMing CN"),
    QStringLiteral("Noto Sans Mono CJK SC")};

void ApplyOptions(MainDialog& dialog, const StartOptions& options) {
    if (!options.portNumber) return;
    dialog.values().portNumber = *options.portNumber;
    dialog.updateControls();
}

}  // namespace

void ScannerApp::SetUpLook(Language language) {
    RegisterResources();
    InstallLanguage(language);
    QFont::removeSubstitutions(kDialogFamily);
    const QString chinese = ChineseFamily(
        QFontDatabase::families(), QFontDatabase::families(QFontDatabase::SimplifiedChinese));
    if (!chinese.isEmpty()) QFont::insertSubstitution(kDialogFamily, chinese);
    QApplication::setFont(DialogFont(9));
    QApplication::setWindowIcon(Icon());
}

QFont ScannerApp::DialogFont(int pointSize) {
    if (InstalledLanguage() == Language::Chinese) return QFont(kDialogFamily, pointSize);
    QFont desktop = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    desktop.setPointSize(pointSize);
    return desktop;
}

QString ScannerApp::ChineseFamily(const QStringList& installed,
                                  const QStringList& withSimplifiedChinese) {
    for (const QString& family : kChineseFamilies) {
        if (installed.contains(family, Qt::CaseInsensitive)) return family;
    }
    return withSimplifiedChinese.value(0);
}

// The installed theme's icon where there is one; else the same drawing compiled in, so that
// the window has its icon when run from the build tree too.
QIcon ScannerApp::Icon() {
    QIcon compiledIn;
    for (const char* size : {"16", "22", "24", "32", "48", "64", "128", "256"}) {
        compiledIn.addFile(QStringLiteral(":/tavolex/tavolex-%1.png").arg(QLatin1String(size)));
    }
    compiledIn.addFile(QStringLiteral(":/tavolex/tavolex.svg"));
    return QIcon::fromTheme(QStringLiteral("tavolex"), compiledIn);
}

int ScannerApp::run(const StartOptions& options) {
    SetUpLook(DesktopLanguage());
    if (!options.screenshotPath.isEmpty()) return takeScreenshot(options);

    QtOperator person;
    MainDialog dialog(m_ports, m_clock, person);
    person.setOwner(&dialog);
    ApplyOptions(dialog, options);
    dialog.exec();
    return 0;
}

// Nobody is at the screen: messages go to the standard error stream instead of boxes that
// would wait for a click.
int ScannerApp::takeScreenshot(const StartOptions& options) {
    const QString& path = options.screenshotPath;
    StreamOperator log(std::cerr, QtOperator::Caption().toStdString());
    MainDialog dialog(m_ports, m_clock, log);
    ApplyOptions(dialog, options);
    bool saved = false;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.control<QPushButton>(MainDialog::kAcquireButton)->click();
        saved = dialog.grab().save(path, "PNG");
        if (!saved) std::cerr << "cannot write " << path.toStdString() << '\n';
        dialog.done(QDialog::Rejected);
    });
    dialog.exec();
    return saved ? 0 : 1;
}

}  // namespace tavolex
