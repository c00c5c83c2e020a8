// The window in English: the catalogue is complete and keeps every value marker, the choice of
// language follows the desktop's, the operations' messages follow the window's language while
// the files keep their Chinese texts, and every English caption fits its control.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QTableWidget>
#include <QToolButton>
#include <QXmlStreamReader>
#include <algorithm>
#include <ctime>

#include "AboutDialog.h"
#include "ChannelLists.h"
#include "ChannelSettingsDialog.h"
#include "CsvFile.h"
#include "DataFile.h"
#include "DeleteAllConfirmDialog.h"
#include "FakeDeviceTree.h"
#include "FakeLine.h"
#include "HandOver.h"
#include "MainDialog.h"
#include "PortDialog.h"
#include "Pt100Dialog.h"
#include "ReadTemperatures.h"
#include "RecordDownloadWorker.h"
#include "RecordFrames.h"
#include "RecordTexts.h"
#include "RecordingOperator.h"
#include "RecordsDialog.h"
#include "RegisteredDialog.h"
#include "RegistrationHelpDialog.h"
#include "ScannerApp.h"
#include "TemporaryDirectory.h"
#include "Translate.h"
#include "Translations.h"
#include "TrendDialog.h"
#include "TrendMonitor.h"
#include "WaitDialog.h"

namespace tavolex::testing {
namespace {

struct CatalogueEntry {
    QString context;
    QString source;
    QString translation;
    bool finished = false;
};

std::vector<CatalogueEntry> ReadCatalogue(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    std::vector<CatalogueEntry> entries;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            entries.push_back({context, {}, {}, false});
        } else if (xml.name() == QLatin1String("source")) {
            entries.back().source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            entries.back().finished = type.isEmpty();
            entries.back().translation = xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return entries;
}

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

TEST(EnglishCatalogue, EveryTextIsTranslatedAndKeepsItsValueMarkers) {
    const auto entries =
        ReadCatalogue(QStringLiteral(TAVOLEX_SOURCE_DIR "/translations/tavolex_en.ts"));
    ASSERT_GT(entries.size(), 100u);
    for (const CatalogueEntry& entry : entries) {
        const std::string where = (entry.context + " / " + entry.source).toStdString();
        EXPECT_TRUE(entry.finished) << where;
        EXPECT_FALSE(entry.translation.trimmed().isEmpty()) << where;
        EXPECT_EQ(Markers(entry.translation), Markers(entry.source)) << where;
        EXPECT_EQ(entry.translation.count(QLatin1Char('&')), entry.source.count(QLatin1Char('&')))
            << where << ": a keyboard shortcut is lost or added";
    }
}

TEST(EnglishCatalogue, MarkersAreCountedAsAMultiset) {
    EXPECT_EQ(Markers(QStringLiteral("%2 %1 %2")), QStringList({"%1", "%2", "%2"}));
    EXPECT_EQ(Markers(QStringLiteral("%02X-%d %0.2f %s 100%%")),
              QStringList({"%%", "%0.2f", "%02X", "%d", "%s"}));
    EXPECT_NE(Markers(QStringLiteral("%1 %1")), Markers(QStringLiteral("%1")));
}

// Switches the process to English for one test and back to Chinese after it.
struct English {
    English() {
        ScannerApp::SetUpLook(Language::English);
        EXPECT_EQ(InstalledLanguage(), Language::English);
    }
    ~English() { ScannerApp::SetUpLook(Language::Chinese); }
};

// A main window on the fake line, in the language installed when it is made.
struct FakeLineWindow {
    TemporaryWorkingDirectory directory;
    ManualClock clock;
    FakeLine line{clock};
    FakePortOpener ports{line};
    RecordingOperator person;
    MainDialog window{ports, clock, person};
};

class EnglishWindowTest : public ::testing::Test {
protected:
    English english;  // first, so that the window is made in English
    FakeLineWindow rig;
    FakeLine& line = rig.line;
    RecordingOperator& person = rig.person;
    MainDialog& window = rig.window;
};

TEST_F(EnglishWindowTest, OperationsSpeakEnglishButFilesKeepTheirChineseTexts) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Temperature Scanner  KORVA VELTA-2 Ver3.2"));
    line.refuseOpen = true;
    window.control<QPushButton>(1004)->click();  // set the channel count
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_TRUE(person.messages[0].starts_with("Error opening the serial port!"))
        << person.messages[0];

    std::tm start{};
    start.tm_year = 2026 - 1900;
    start.tm_mday = 7;
    EXPECT_EQ(CsvHeading({}).substr(0, 6), "时间");
    EXPECT_NE(DataFileName("/w", start).string().find("年"), std::string::npos);
    EXPECT_EQ(FailureLogText(ReadFailure::BadChecksum), "校验错误，");
}

// The records table and its CSV file are the program's own: in English they read English.
TEST_F(EnglishWindowTest, TheRecordsTableAndItsFileNameAreEnglish) {
    RecordsDialog records(window, window.linkSettings());
    const auto* table = records.control<QTableWidget>(RecordsDialog::kTable);
    const auto heading = [table](int column) {
        return table->horizontalHeaderItem(column)->text().toStdString();
    };
    EXPECT_EQ(heading(0), "Record");
    EXPECT_EQ(heading(1), "Time");
    EXPECT_EQ(heading(2), "Channel 1");
    EXPECT_EQ(heading(kRecordColumns - 1), "PT100 channel 4");
    const std::vector<std::string> unread = RecordRowTexts(7, std::nullopt);
    EXPECT_EQ(unread[0], "Record 7");
    EXPECT_EQ(unread[1], "Not read");
    EXPECT_EQ(RecordTimeText(DeviceTimestamp({0x20, 0x24, 0x05, 0x07, 0x09, 0x3, 0x1A})),
              "2024-05-07 09:03:1A");
    EXPECT_EQ(RecordsCsvName(std::nullopt), "records.csv");
    EXPECT_EQ(RecordsCsvName(DeviceTimestamp({0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01})),
              "records_2024-05-07_09-03-01.csv");
}

// The room a control leaves for its text, by the style's own measures.
int TextRoom(QWidget* control) {
    QStyle* style = control->style();
    if (auto* radio = qobject_cast<QRadioButton*>(control)) {
        return radio->width() - style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) -
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    }
    if (auto* check = qobject_cast<QCheckBox*>(control)) {
        return check->width() - style->pixelMetric(QStyle::PM_IndicatorWidth) -
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    }
    if (qobject_cast<QPushButton*>(control)) {
        return control->width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin) -
               2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    }
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

QString ShownText(QWidget* control) {
    if (auto* tool = qobject_cast<QToolButton*>(control);
        tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly) {
        return {};  // a picture, its text only a tooltip
    }
    QString text;
    if (auto* button = qobject_cast<QAbstractButton*>(control)) text = button->text();
    if (auto* label = qobject_cast<QLabel*>(control)) text = label->text();
    if (auto* group = qobject_cast<QGroupBox*>(control)) text = group->title();
    return text.remove(QLatin1Char('&'));
}

// Measures every shown caption of the window; returns how many it measured.
int ExpectCaptionsFit(QWidget& window) {
    const bool shownAlready = window.isVisible();
    window.show();
    int measured = 0;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const bool captioned = qobject_cast<QAbstractButton*>(control) ||
                               qobject_cast<QLabel*>(control) || qobject_cast<QGroupBox*>(control);
        const QString text = ShownText(control);
        if (!captioned || !control->isVisible() || text.trimmed().isEmpty()) continue;
        ++measured;
        if (auto* label = qobject_cast<QLabel*>(control); label && label->wordWrap()) {
            EXPECT_LE(label->heightForWidth(label->width()), label->height())
                << window.metaObject()->className() << " \"" << text.toStdString()
                << "\" wraps to more lines than its label holds";
            continue;
        }
        const int needed = control->fontMetrics().horizontalAdvance(text);
        EXPECT_LE(needed, TextRoom(control))
            << window.metaObject()->className() << " " << control->objectName().toStdString()
            << " \"" << text.toStdString() << "\" needs " << needed << " px";
    }
    if (!shownAlready) window.hide();
    return measured;
}

TEST_F(EnglishWindowTest, EveryCaptionFitsItsControl) {
    EXPECT_GT(ExpectCaptionsFit(window), 50);
    Pt100Dialog pt100(window);
    EXPECT_GT(ExpectCaptionsFit(pt100), 10);
    DeleteAllConfirmDialog question(&window);
    EXPECT_GT(ExpectCaptionsFit(question), 2);
    RegisteredDialog registered(&window);
    EXPECT_GT(ExpectCaptionsFit(registered), 1);
    AboutDialog about(&window);
    EXPECT_GT(ExpectCaptionsFit(about), 1);
    RegistrationHelpDialog help(&window);
    EXPECT_EQ(ExpectCaptionsFit(help), 4);
    RecordsDialog records(window, window.linkSettings());
    EXPECT_GT(ExpectCaptionsFit(records), 3);
}

// A list meant to be read whole shows every column and every heading in full.
void ExpectColumnsShown(QTableWidget& list) {
    list.window()->show();
    QApplication::sendPostedEvents();
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0)
        << list.accessibleName().toStdString() << " hides columns";
    const QFontMetrics metrics = list.horizontalHeader()->fontMetrics();
    for (int column = 0; column < list.columnCount(); ++column) {
        const QString heading = list.horizontalHeaderItem(column)->text();
        EXPECT_LE(metrics.horizontalAdvance(heading), list.columnWidth(column))
            << list.accessibleName().toStdString() << " \"" << heading.toStdString() << "\"";
    }
}

TEST_F(EnglishWindowTest, TheOtherWindowsFitTheirEnglishToo) {
    FakeDeviceTree devices;
    devices.device("ttyUSB0");
    PortDialog chooser(devices.tree, person, 1, &window);
    EXPECT_GT(ExpectCaptionsFit(chooser), 4);
    ExpectColumnsShown(*chooser.findChild<QTableWidget*>(QStringLiteral("portList")));

    ChannelSettingsDialog settings(ChannelSettings{}, person, &window);
    EXPECT_EQ(ExpectCaptionsFit(settings), 2);
    ExpectColumnsShown(settings.table());

    TrendDialog& trend = window.trend().openTrend();
    EXPECT_EQ(ExpectCaptionsFit(trend), 2);
    ExpectColumnsShown(trend.channelList());
    trend.close();

    RecordsDialog records(window, window.linkSettings());
    line.reply(RecordCountFrame(1));
    line.reply(SeriesRecord(1));
    const AtHandOver<RecordDownloadWorker> waiting(1, [] {
        auto* wait = qobject_cast<WaitDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(wait, nullptr);
        EXPECT_EQ(ExpectCaptionsFit(*wait), 2);
    });
    records.control<QPushButton>(RecordsDialog::kDownloadButton)->click();
    EXPECT_TRUE(waiting.fired());
}

// The windows whose lists vary in length let the user make them bigger: the list takes the room
// and the buttons stay at the bottom.
TEST_F(EnglishWindowTest, WindowsWithListsGrowWithTheirLists) {
    const auto expectGrows = [](QDialog& dialog, QWidget& list, QWidget& lowest) {
        dialog.show();
        const QSize listBefore = list.size();
        const int marginBelow = dialog.height() - lowest.geometry().bottom();
        dialog.resize(dialog.size() + QSize(120, 80));
        QApplication::sendPostedEvents();
        EXPECT_EQ(list.width(), listBefore.width() + 120) << dialog.windowTitle().toStdString();
        EXPECT_GE(list.height(), listBefore.height() + 80) << dialog.windowTitle().toStdString();
        EXPECT_EQ(dialog.height() - lowest.geometry().bottom(), marginBelow);
        dialog.hide();
    };
    FakeDeviceTree devices;
    PortDialog chooser(devices.tree, person, 1, &window);
    expectGrows(chooser, *chooser.findChild<QTableWidget*>(QStringLiteral("portList")),
                *chooser.findChild<QPushButton*>(QStringLiteral("2")));
    RecordsDialog records(window, window.linkSettings());
    expectGrows(records, *records.control<QTableWidget>(RecordsDialog::kTable),
                *records.control<QPushButton>(RecordsDialog::kDeleteButton));
}

TEST_F(EnglishWindowTest, EveryChannelCaptionFitsItsColumn) {
    window.show();
    for (int id :
         {MainDialog::kLowChannelList, MainDialog::kHighChannelList, MainDialog::kPt100List}) {
        QTableWidget* list = window.control<QTableWidget>(id);
        const int margin =
            list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
        const int room = list->columnWidth(kCaptionColumn) - 2 * margin;
        for (int row = 0; row < list->rowCount(); ++row) {
            const QString text = list->item(row, kCaptionColumn)->text();
            EXPECT_LE(list->fontMetrics().horizontalAdvance(text), room)
                << id << " row " << row << " \"" << text.toStdString() << "\"";
        }
    }
}

// Every text a window draws in its own font: captions, list headings and cells, list items.
QStringList DrawnTexts(QWidget& window) {
    QStringList texts;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        texts << ShownText(control);
        if (auto* table = qobject_cast<QTableWidget*>(control)) {
            for (int column = 0; column < table->columnCount(); ++column) {
                if (table->horizontalHeaderItem(column))
                    texts << table->horizontalHeaderItem(column)->text();
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

// The characters of the window's texts that its font has no glyph for.
QString MissingGlyphs(QWidget& window) {
    const QRawFont font = QRawFont::fromFont(window.font());
    QString missing;
    for (const QString& text : DrawnTexts(window)) {
        for (const QChar c : text) {
            if (!c.isSpace() && !font.supportsCharacter(c) && !missing.contains(c)) missing += c;
        }
    }
    return missing;
}

// In either language the font the windows ask for draws every character of their texts
// itself, so no text falls back to boxes or to a face of another look.
TEST(WindowFont, TheChosenFontHasEveryCharacterOfEveryText) {
    for (const Language language : {Language::Chinese, Language::English}) {
        ScannerApp::SetUpLook(language);
        FakeLineWindow rig;
        MainDialog& window = rig.window;
        Pt100Dialog pt100(window);
        RecordsDialog records(window, window.linkSettings());
        RegistrationHelpDialog help(&window);
        AboutDialog about(&window);
        for (QWidget* shown :
             std::initializer_list<QWidget*>{&window, &pt100, &records, &help, &about}) {
            EXPECT_EQ(MissingGlyphs(*shown).toStdString(), "")
                << shown->metaObject()->className() << " in "
                << (language == Language::English ? "English" : "Chinese") << ", font "
                << QRawFont::fromFont(shown->font()).familyName().toStdString();
        }
    }
    ScannerApp::SetUpLook(Language::Chinese);
}

TEST(WindowFont, TheSongFaceOrAnotherChineseFaceStandsInForSong) {
    const QStringList chinese{"Some CJK Face", "Other CJK"};
    EXPECT_EQ(
        ScannerApp::ChineseFamily({"DejaVu Sans", "AR PL SungtiL GB", "Noto Sans CJK SC"}, chinese),
        "AR PL SungtiL GB");
    EXPECT_EQ(ScannerApp::ChineseFamily({"DejaVu Sans", "wenquanyi micro hei"}, chinese),
              "WenQuanYi Micro Hei");
    EXPECT_EQ(ScannerApp::ChineseFamily({"DejaVu Sans", "Some CJK Face"}, chinese),
              "Some CJK Face");
    EXPECT_EQ(ScannerApp::ChineseFamily({"DejaVu Sans"}, {}), QString());
}

}  // namespace
}  // namespace tavolex::testing
