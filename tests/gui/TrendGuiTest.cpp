// Channel names, alarm limits and the trend window, driven from the main window on the fake
// line with "采集"; saved runs in trend windows of their own.
#include <QChart>
#include <QDateTimeAxis>
#include <QDialogButtonBox>
#include <QImage>
#include <QLineSeries>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QValueAxis>
#include <fstream>

#include "ChannelSettingsDialog.h"
#include "ChannelSettingsStore.h"
#include "TrendChart.h"
#include "TrendDialog.h"
#include "TrendMonitor.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

using testing::TemperatureFrame;
using D = MainDialog;
using C = ChannelSettingsDialog;
constexpr int kChannel5 = 8, kRow5 = 4;  // the ninth word of a reply, row 4 of the left list

class TrendGuiTest : public testing::MainDialogFixture {
protected:
    TrendGuiTest() {
        trend().notify = [this](const QString&, const QString& body) {
            notifications.push_back(body);
        };
        trend().nowMs = [this] { return nextMs += 1000; };
    }

    TrendMonitor& trend() { return window.trend(); }
    QTableWidget* list(int id) { return control<QTableWidget>(id); }
    // One reading through "采集" whose channel 5 reads the given tenths; corrupted for kFailed.
    static constexpr int kFailed = -1;
    void readChannel5(int tenths) {
        std::vector<int> words(12, 200);
        if (tenths != kFailed) words[kChannel5] = tenths;
        Bytes frame = TemperatureFrame(words);
        if (tenths == kFailed) frame.back() ^= 1;
        line.reply(frame);
        click(D::kAcquireButton);
    }
    bool coloured(int column, int row = kRow5) {
        return list(D::kLowChannelList)->item(row, column)->data(Qt::BackgroundRole).isValid();
    }

    std::vector<QString> notifications;
    std::int64_t nextMs = 1'700'000'000'000;
};

// A limit that is no temperature, or a low above the high, is refused with the cell chosen.
TEST_F(TrendGuiTest, NamesAndLimitsConfirmedInTheTableShowInTheListsAndAreKept) {
    testing::TemporaryDirectory config;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path().string()));
    trend().settingsFile = ChannelSettingsFile();
    EXPECT_TRUE(testing::WithModal<ChannelSettingsDialog>(
        [this] { trend().settingsAction().trigger(); },
        [this](ChannelSettingsDialog& dialog) {
            QTableWidget& table = dialog.table();
            const auto set = [&](int row, int column, const char* text) {
                table.item(row, column)->setText(text);
                dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            };
            table.item(kChannel5, C::kNameColumn)->setText("炉膛");
            table.item(0, C::kNameColumn)->setText("进口, 左");
            set(3, C::kHighColumn, "3O");
            table.item(3, C::kHighColumn)->setText("30");
            set(3, C::kLowColumn, "30.1");
            EXPECT_EQ(person.messages, (testing::Messages{"报警限应为温度值(°C)，最多一位小数!",
                                                          "下限不能高于上限!"}));
            EXPECT_EQ(std::pair(table.currentRow(), table.currentColumn()),
                      std::pair(3, +C::kLowColumn));
            EXPECT_NE(dialog.result(), QDialog::Accepted);
            set(3, C::kLowColumn, "-5");
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
        }));

    EXPECT_EQ(list(D::kLowChannelList)->item(kRow5, 0)->text(), "通道5 (炉膛)");
    EXPECT_EQ(list(D::kPt100List)->item(0, 0)->text(), "PT100通道1 (进口, 左)");

    MainDialog later(ports, clock, person);  // finds them in the configuration folder
    EXPECT_EQ(later.control<QTableWidget>(D::kLowChannelList)->item(kRow5, 0)->text(),
              "通道5 (炉膛)");
    EXPECT_EQ(later.trend().settings()[3].limits, (ChannelLimits{-50, 300}));
    qunsetenv("XDG_CONFIG_HOME");
}

TEST_F(TrendGuiTest, AReadingOutOfLimitsColoursItsRowUntilAReadingIsBackInside) {
    ChannelSettings settings;
    settings[kChannel5].limits.highTenths = 300;
    trend().applySettings(settings);

    // The row's colour after each reading; a failed reading changes nothing on screen.
    std::vector<bool> colours;
    for (int tenths : {300, 301, kFailed, 290, 350}) {
        readChannel5(tenths);
        colours.push_back(coloured(0));
    }
    EXPECT_EQ(colours, (std::vector<bool>{false, true, true, false, true}));
    EXPECT_TRUE(coloured(1) && coloured(2) && !coloured(0, kRow5 + 1));

    EXPECT_EQ(notifications, std::vector<QString>{"通道5: 30.1 °C, 上限 30.0 °C"});
    EXPECT_EQ(
        std::tuple(trend().alarms().count(kChannel5), trend().statistics().of(kChannel5).count),
        std::tuple(2, 4));
    EXPECT_TRUE(directory.files().empty());  // the error log stays for the line's errors
}

TEST_F(TrendGuiTest, ADoubleClickAddsTheRowsChannelToTheTrendWhichBreaksItsCurveAtAFailure) {
    for (int tenths : {250, 260, kFailed, 240})
        readChannel5(tenths);

    showActive();
    QTableWidget* low = list(D::kLowChannelList);
    const QPoint cell = low->visualItemRect(low->item(kRow5, 1)).center();
    // The view takes a double click only on the cell a press chose, as in a real one.
    QTest::mouseClick(low->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(low->viewport(), Qt::LeftButton, {}, cell);
    TrendDialog* dialog = trend().trendDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible() && !dialog->isModal());
    EXPECT_TRUE(dialog->channelShown(kChannel5) && !dialog->channelShown(kChannel5 + 1));
    EXPECT_EQ(dialog->channelList().item(kChannel5, 0)->checkState(), Qt::Checked);

    dialog->redrawNow();
    const std::vector<QLineSeries*>& curve = dialog->curveOf(kChannel5);
    ASSERT_EQ(curve.size(), 2u);
    EXPECT_EQ(curve[0]->points(),
              (QList<QPointF>{{1'700'000'001'000.0, 25.0}, {1'700'000'002'000.0, 26.0}}));
    EXPECT_EQ(curve[1]->points(), (QList<QPointF>{{1'700'000'004'000.0, 24.0}}));
    EXPECT_TRUE(curve[1]->pointsVisible());  // a lone reading is drawn as a dot

    dialog->channelList().item(kChannel5, 0)->setCheckState(Qt::Unchecked);  // leaves the chart
    EXPECT_TRUE(!dialog->channelShown(kChannel5) && dialog->chart().series().isEmpty());
    window.done(QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(TrendGuiTest, TheMenuOpensTheTrendOnTheLastReadingsFirstChannelsWithRoundTicks) {
    trend().nowMs = [n = 0]() mutable -> std::int64_t {
        return n++ == 0 ? 1'700'000'003'400 : 1'700'000'040'700;
    };
    readChannel5(250);
    readChannel5(262);
    trend().trendAction().trigger();
    TrendDialog* dialog = trend().trendDialog();
    ASSERT_NE(dialog, nullptr);
    std::vector<int> shown;  // digital channels 1-8 in the lists' order, not the PT100 words
    for (int channel = 0; channel < kChannelCount; ++channel)
        if (dialog->channelShown(channel)) shown.push_back(channel);
    EXPECT_EQ(shown, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11}));

    dialog->redrawNow();
    const auto* time = qobject_cast<QDateTimeAxis*>(dialog->chart().axes(Qt::Horizontal)[0]);
    ASSERT_NE(time, nullptr);
    // 37.3 s: ticks every 10 s from a round time; values 20.0 to 26.2 on whole degrees.
    EXPECT_EQ(std::tuple(time->min().toMSecsSinceEpoch(), time->max().toMSecsSinceEpoch(),
                         time->tickCount()),
              std::tuple(1'700'000'000'000, 1'700'000'050'000, 6));
    const auto* value = qobject_cast<QValueAxis*>(dialog->chart().axes(Qt::Vertical)[0]);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(std::pair(value->min(), value->max()), std::pair(18.0, 28.0));

    dialog->channelList().item(4, 0)->setCheckState(Qt::Unchecked);
    trend().trendAction().trigger();  // opened again, the window keeps the user's choice
    EXPECT_FALSE(dialog->channelShown(4));
}

// 2024-03-05 14:mm:ss local time.
std::int64_t At(int minute, int second) {
    std::tm time{second, minute, 14, 5, 2, 124, 0, 0, -1, 0, nullptr};
    return std::int64_t{std::mktime(&time)} * 1000;
}

class TrendFileGuiTest : public ::testing::Test {
protected:
    // Eleven readings 10 s apart from 14:00:00; PT100 channel 1 reads 10.0, 11.0, ... 20.0 °C.
    std::filesystem::path writeRun(const std::string& name, const std::string& extra = {}) {
        const std::filesystem::path file = folder.path() / name;
        std::ofstream out(file, std::ios::binary);
        out << "\xEF\xBB\xBF时间" << std::string(68, ',') << "\r\n";
        for (int i = 0; i <= 10; ++i) {
            out << "2024-03-05T14:0" << i / 6 << ':' << (i % 6) * 10 << (i % 6 == 0 ? "0" : "")
                << ',' << 10 + i << ".0" << std::string(67, ',') << "\r\n";
        }
        out << extra;
        return file;
    }
    QStringList statistics(TrendDialog& window, int channel = 0) {
        QStringList texts;
        for (int column : {TrendDialog::kMinColumn, TrendDialog::kMaxColumn,
                           TrendDialog::kMeanColumn, TrendDialog::kCountColumn})
            texts << window.channelList().item(channel, column)->text();
        return texts;
    }

    testing::TemporaryDirectory folder;
    testing::RecordingOperator person;
    TrendHistory history;
    ChannelSettings settings;
    ChannelAlarms alarms;
    TrendDialog live{{history, settings, alarms}, person, nullptr};
};

TEST_F(TrendFileGuiTest, AnOpenedRunZoomsPansKeepsItsStatisticsAndSavesItsPictureOrTellsItsFault) {
    person.chosenFile = writeRun("run.csv");
    live.openAction().trigger();
    TrendDialog* window = live.findChild<TrendDialog*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(person.messages.empty());
    EXPECT_TRUE(window->channelShown(0));
    EXPECT_EQ(window->visibleSpan(), (TimeSpan{At(0, 0), At(1, 40)}));

    window->zoomTo({At(0, 20), At(0, 50)});
    window->panBy(10'000);
    EXPECT_EQ(window->visibleSpan(), (TimeSpan{At(0, 30), At(1, 0)}));
    EXPECT_EQ(statistics(*window), (QStringList{"13.0", "16.0", "14.5", "4"}));
    // Panning stops at the run's end; zooming out past the whole run shows the whole run.
    window->panBy(600'000);
    EXPECT_EQ(window->visibleSpan(), (TimeSpan{At(1, 10), At(1, 40)}));
    window->zoomAbout(At(1, 30), 0.5);
    EXPECT_EQ(window->visibleSpan(), (TimeSpan{At(1, 20), At(1, 35)}));
    EXPECT_EQ(window->readoutAt(At(1, 24), 0.0), "2024-03-05 14:01:20  PT100通道1: 18.0 °C");
    window->zoomAbout(At(1, 30), 10);
    EXPECT_FALSE(window->zoomed());

    // The same by hand: a drag marks a span, Home goes back to the whole run.
    window->resize(900, 500);
    window->show();
    QWidget* surface = window->chartView().viewport();
    const QPoint middle = surface->rect().center();
    QTest::mousePress(surface, Qt::LeftButton, {}, middle - QPoint(100, 0));
    QTest::mouseMove(surface, middle);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, middle);
    ASSERT_TRUE(window->zoomed());
    EXPECT_TRUE(window->visibleSpan().fromMs > At(0, 0) && window->visibleSpan().toMs < At(1, 40));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    window->chartView().setFocus();
    QTest::keyClick(&window->chartView(), Qt::Key_Home);
    EXPECT_FALSE(window->zoomed());

    // The picture has the chart's size on screen, and the SVG is one that a renderer reads.
    const QSize size = window->chartView().size();
    person.savedFile = folder.path() / "chart.png";
    window->saveImageAction().trigger();
    EXPECT_EQ(QImage(QString::fromStdString(person.savedFile->string())).size(), size);
    ASSERT_TRUE(window->saveImage(folder.path() / "chart.svg"));
    QSvgRenderer svg(QString::fromStdString((folder.path() / "chart.svg").string()));
    EXPECT_TRUE(svg.isValid() && svg.viewBox().size() == size);
    EXPECT_FALSE(window->saveImage(folder.path() / "missing" / "chart.png"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 3);
    window->close();

    // A bad line keeps the readings before it and is told; a file that is no run opens nothing.
    window = live.openDataFile(writeRun("bad.csv", "2024-03-05T14:02:00,x\r\n"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(statistics(*window)[3], "11");
    EXPECT_EQ(person.messages, testing::Messages{"bad.csv 第13行无法读取; 之前的各行已载入"});
    window->close();

    const std::filesystem::path notes = folder.path() / "notes.txt";
    std::ofstream(notes) << "hello\n";
    EXPECT_EQ(live.openDataFile(notes), nullptr);
    EXPECT_EQ(person.messages.back(), "notes.txt: 不是数据文件、CSV文件或记录文件");
}

}  // namespace
}  // namespace tavolex
