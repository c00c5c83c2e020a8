#include "Translations.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "Channels.h"
#include "Translate.h"

namespace tavolex {

namespace {

// Compiled into the library from translations/tavolex_en.ts.
const QString kEnglishCatalogue = QStringLiteral(":/i18n/tavolex_en.qm");

Language g_installed = Language::Chinese;

QTranslator& ProgramTranslator() {
    static QTranslator translator;
    return translator;
}

QTranslator& ToolkitTranslator() {
    static QTranslator translator;
    return translator;
}

std::string TranslateWithQt(const char* context, const char* source) {
    return QCoreApplication::translate(context, source).toStdString();
}

void Uninstall() {
    QCoreApplication::removeTranslator(&ProgramTranslator());
    QCoreApplication::removeTranslator(&ToolkitTranslator());
}

}  // namespace

Language DesktopLanguage() {
    std::vector<std::string> languages = EnvironmentLanguages();
    if (languages.empty()) {
        for (const QString& name : QLocale::system().uiLanguages())
            languages.push_back(name.toStdString());
    }
    return PreferredLanguage(languages);
}

QString ShownRowCaption(ChannelList list, int row) {
    const QString pattern = list == ChannelList::Pt100 ? Tr("ChannelLists", "PT100通道%1")
                                                       : Tr("ChannelLists", "通道%1");
    return pattern.arg(RowNumber(list, row));
}

QString ShownChannelCaption(int channel) {
    const ListRow at = RowOfChannel(channel);
    return ShownRowCaption(at.list, at.row);
}

QString ShownChannelLabel(const ChannelSettings& settings, int channel) {
    const std::string& name = settings[channel].name;
    const QString caption = ShownChannelCaption(channel);
    if (name.empty()) return caption;
    return caption + QStringLiteral(" (") + QString::fromStdString(name) + QLatin1Char(')');
}

Language InstalledLanguage() {
    return g_installed;
}

bool InstallLanguage(Language language) {
    Uninstall();
    g_installed = language;
    SetTranslator(&TranslateWithQt);
    if (language == Language::English) {
        // The toolkit's own texts (standard buttons, file chooser) are English already.
        if (!ProgramTranslator().load(kEnglishCatalogue)) {
            g_installed = Language::Chinese;
            return false;
        }
        QCoreApplication::installTranslator(&ProgramTranslator());
        return true;
    }
    // The program's texts are Chinese in the source; the toolkit's come from its catalogue,
    // where Qt's translations are installed.
    if (ToolkitTranslator().load(QStringLiteral("qtbase_zh_CN"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&ToolkitTranslator());
    }
    return true;
}

}  // namespace tavolex
