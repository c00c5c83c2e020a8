// The window in English: the catalogue is complete and keeps every value marker and key, the
// operations' messages follow the window's language while the files keep their Chinese texts,
// every English caption fits its control, and the chosen font draws every character.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyleOption>
#include <QTableWidget>
#include <QToolButton>
#include <QXmlStreamReader>
#include <array>
#include <ctime>

#include "AboutDialog.h"
#include "ChannelLists.h"
#include "ChannelSettingsDialog.h"
#include "CsvFile.h"
#include "DataFile.h"
#include "DeleteAllConfirmDialog.h"
#include "FakeDeviceTree.h"
#include "HandOver.h"
#include "PortDialog.h"
#include "Pt100Dialog.h"
#include "ReadTemperatures.h"
#include "RecordDownloadWorker.h"
#include "RecordFrames.h"
#include "RecordTexts.h"
#include "RecordsDialog.h"
#include "RegisteredDialog.h"
#include "RegistrationHelpDialog.h"
#include "ScannerApp.h"
#include "Translations.h"
#include "TrendDialog.h"
#include "TrendMonitor.h"
#include "WaitDialog.h"
#include "WindowDriver.h"

namespace tavolex::testing {
namespace {

// The value markers of a text, sorted: Qt's %1 to %99 and printf's %d, %s, %0.2f, %02X...
QStringList Markers(const QString& text) {
    static const QRegularExpression marker(
        QStringLiteral("%(?:\\d{1,2}(?![\\d.]*[dsfxXuc])|[-+ 0#]*\\d*(?:\\.\\d+)?[dsfxXuc]|%)"));
    QStringList found;
    for (auto match = marker.globalMatch(text); match.hasNext();)
        found << match.next().captured();
    found.sort();
    return found;
}

TEST(EnglishCatalogue, EveryTextIsTranslatedAndKeepsItsValueMarkersAndKeys) {
    QFile file(QStringLiteral(TAVOLEX_SOURCE_DIR "/translations/tavolex_en.ts"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString source;
    int entries = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("source")) source = xml.readElementText();
        if (xml.name() != QLatin1String("translation")) continue;
        ++entries;
        const bool finished = xml.attributes().value(QLatin1String("type")).isEmpty();
        const QString translation = xml.readElementText();
        EXPECT_TRUE(finished && !translation.trimmed().isEmpty()) << source.toStdString();
        EXPECT_EQ(Markers(translation), Markers(source)) << source.toStdString();
        EXPECT_EQ(translation.count('&'), source.count('&'))
            << source.toStdString() << ": a keyboard shortcut is lost or added";
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(entries, 100);
}

// The process in English for one test, and in Chinese again after it; the window is made in
// English.
class EnglishWindowTest : public ::testing::Test {
protected:
    struct English {
        English() { ScannerApp::SetUpLook(Language::English); }
        ~English() { ScannerApp::SetUpLook(Language::Chinese); }
    } english;
    FakeLineRig rig;
    FakeLine& line = rig.line;
    RecordingOperator& person = rig.person;
    MainDialog& window = rig.window;
};

TEST_F(EnglishWindowTest, OperationsAndRecordsSpeakEnglishButFilesKeepTheirChineseTexts) {
    ASSERT_EQ(InstalledLanguage(), Language::English);
    line.refuseOpen = true;
    window.control<QPushButton>(MainDialog::kSetSignalCountButton)->click();
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_TRUE(person.messages[0].starts_with("Error opening the serial port!"))
        << person.messages[0];
    EXPECT_EQ(RecordRowTexts(7, std::nullopt)[1], "Not read");
    EXPECT_EQ(RecordsCsvName(std::nullopt), "records.csv");

    std::tm start{};
    start.tm_year = 2026 - 1900;
    start.tm_mday = 7;
    EXPECT_EQ(CsvHeading({}).substr(0, 6), "时间");
    EXPECT_NE(DataFileName("/w", start).string().find("年"), std::string::npos);
    EXPECT_EQ(FailureLogText(ReadFailure::BadChecksum), "校验错误，");
}

// The room a control leaves for its text, by the style's own measures.
int TextRoom(QWidget* control) {
    QStyle* style = control->style();
    const auto metric = [style](QStyle::PixelMetric m) { return style->pixelMetric(m); };
    if (qobject_cast<QRadioButton*>(control)) {
        return control->width() - metric(QStyle::PM_ExclusiveIndicatorWidth) -
               metric(QStyle::PM_RadioButtonLabelSpacing);
    }
    if (qobject_cast<QCheckBox*>(control))
        return control->width() - metric(QStyle::PM_IndicatorWidth) -
               metric(QStyle::PM_CheckBoxLabelSpacing);
    if (qobject_cast<QPushButton*>(control))
        return control->width() - 2 * metric(QStyle::PM_ButtonMargin) -
               2 * metric(QStyle::PM_DefaultFrameWidth);
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        const QRect label =
            style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
        return group->width() - 2 * std::max(label.left(), 0);
    }
    return static_cast<QLabel*>(control)->contentsRect().width();
}

// The caption a button, label or group shows; empty for anything else and for a picture.
QString ShownText(QWidget* control) {
    if (auto* tool = qobject_cast<QToolButton*>(control);
        tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly) {
        return {};  // its text only a tooltip
    }
    QString text;
    if (auto* button = qobject_cast<QAbstractButton*>(control)) text = button->text();
    if (auto* label = qobject_cast<QLabel*>(control)) text = label->text();
    if (auto* group = qobject_cast<QGroupBox*>(control)) text = group->title();
    return text.remove(QLatin1Char('&'));
}

// A list meant to be read whole shows every column and every heading in full.
void ExpectColumnsShown(QTableWidget& list) {
    list.window()->show();
    QApplication::sendPostedEvents();
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0) << list.accessibleName().toStdString();
    const QFontMetrics metrics = list.horizontalHeader()->fontMetrics();
    for (int column = 0; column < list.columnCount(); ++column) {
        const QString heading = list.horizontalHeaderItem(column)->text();
        EXPECT_LE(metrics.horizontalAdvance(heading), list.columnWidth(column))
            << list.accessibleName().toStdString() << " \"" << heading.toStdString() << "\"";
    }
}

// Measures every shown caption of the window.
void ExpectTextsFit(QWidget& window) {
    const bool shownAlready = window.isVisible();
    window.show();
    QApplication::sendPostedEvents();
    const std::string name = window.metaObject()->className();
    int measured = 0;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const QString text = ShownText(control);
        if (!control->isVisible() || text.trimmed().isEmpty()) continue;
        ++measured;
        if (auto* label = qobject_cast<QLabel*>(control); label && label->wordWrap()) {
            EXPECT_LE(label->heightForWidth(label->width()), label->height())
                << name << " \"" << text.toStdString() << "\" wraps past its label";
        } else {
            EXPECT_LE(control->fontMetrics().horizontalAdvance(text), TextRoom(control))
                << name << " " << control->objectName().toStdString() << " \"" << text.toStdString()
                << "\"";
        }
    }
    EXPECT_GT(measured, 0) << name;
    if (!shownAlready) window.hide();
}

// The main window's dialogs, made over it.
struct Dialogs {
    explicit Dialogs(FakeLineRig& made) : rig(made) {}
    FakeLineRig& rig;
    FakeDeviceTree devices;
    std::filesystem::path adapter = devices.device("ttyUSB0");
    Pt100Dialog pt100{rig.window};
    DeleteAllConfirmDialog question{&rig.window};
    RegisteredDialog registered{&rig.window};
    AboutDialog about{&rig.window};
    RegistrationHelpDialog help{&rig.window};
    RecordsDialog records{rig.window, rig.window.linkSettings()};
    PortDialog chooser{devices.tree, rig.person, 1, &rig.window};
    ChannelSettingsDialog settings{ChannelSettings{}, rig.person, &rig.window};
    QTableWidget& ports = *chooser.findChild<QTableWidget*>(QStringLiteral("portList"));
    std::array<QWidget*, 9> all() {
        return {&rig.window, &pt100,   &question, &registered, &about,
                &help,       &records, &chooser,  &settings};
    }
};

TEST_F(EnglishWindowTest, EveryCaptionFitsItsControlAndEveryListShowsItsColumns) {
    window.show();
    for (int id :
         {MainDialog::kLowChannelList, MainDialog::kHighChannelList, MainDialog::kPt100List}) {
        QTableWidget* list = window.control<QTableWidget>(id);
        const int margin =
            list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
        for (int row = 0; row < list->rowCount(); ++row) {
            const QString text = list->item(row, kCaptionColumn)->text();
            EXPECT_LE(list->fontMetrics().horizontalAdvance(text),
                      list->columnWidth(kCaptionColumn) - 2 * margin)
                << text.toStdString();
        }
    }
    Dialogs dialogs{rig};
    for (QWidget* shown : dialogs.all())
        ExpectTextsFit(*shown);
    ExpectColumnsShown(dialogs.ports);
    ExpectColumnsShown(dialogs.settings.table());
    TrendDialog& trend = window.trend().openTrend();
    ExpectTextsFit(trend);
    ExpectColumnsShown(trend.channelList());
    trend.close();

    line.reply(RecordCountFrame(1));
    line.reply(SeriesRecord(1));
    const AtHandOver<RecordDownloadWorker> waiting(1, [] {
        auto* wait = qobject_cast<WaitDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(wait, nullptr);
        ExpectTextsFit(*wait);
    });
    dialogs.records.control<QPushButton>(RecordsDialog::kDownloadButton)->click();
    EXPECT_TRUE(waiting.fired());
}

// Every text a window draws in its own font: captions, list headings and cells, list items.
QStringList DrawnTexts(QWidget& window) {
    QStringList texts;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        texts << ShownText(control);
        if (auto* table = qobject_cast<QTableWidget*>(control)) {
            for (int column = 0; column < table->columnCount(); ++column) {
                if (auto* heading = table->horizontalHeaderItem(column)) texts << heading->text();
                for (int row = 0; row < table->rowCount(); ++row) {
                    if (table->item(row, column)) texts << table->item(row, column)->text();
                }
            }
        }
        if (auto* combo = qobject_cast<QComboBox*>(control)) {
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        }
    }
    return texts;
}

// In either language the font the windows ask for draws every character of their texts
// itself, so no text falls back to boxes or to a face of another look.
TEST(WindowFont, TheChosenFontHasEveryCharacterOfEveryText) {
    for (const Language language : {Language::Chinese, Language::English}) {
        ScannerApp::SetUpLook(language);
        FakeLineRig rig;
        Dialogs dialogs{rig};
        for (QWidget* shown : dialogs.all()) {
            const QRawFont font = QRawFont::fromFont(shown->font());
            QString missing;
            for (const QString& text : DrawnTexts(*shown)) {
                for (const QChar c : text) {
                    if (!c.isSpace() && !font.supportsCharacter(c) && !missing.contains(c))
                        missing += c;
                }
            }
            EXPECT_EQ(missing.toStdString(), "")
                << shown->metaObject()->className() << " in language " << static_cast<int>(language)
                << ", font " << font.familyName().toStdString();
        }
    }
    ScannerApp::SetUpLook(Language::Chinese);
}

}  // namespace
}  // namespace tavolex::testing
