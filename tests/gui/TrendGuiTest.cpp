// Channel names, alarm limits and the trend window, driven from the main window on the fake
// line with "采集": names in the lists, rows coloured while out of limits, the notification,
// the trend window opened by a double click or from the menu.
#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QDateTimeAxis>
#include <QDialogButtonBox>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QValueAxis>
#include <cmath>

#include "ChannelSettingsDialog.h"
#include "ChannelSettingsStore.h"
#include "TrendDialog.h"
#include "TrendMonitor.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

using testing::TemperatureFrame;

// Channel 5 is the ninth word of a reply and row 4 of the left list.
constexpr int kChannel5 = 8;
constexpr int kRow5 = 4;

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
    // One reading through "采集" whose channel 5 reads the given tenths; a corrupted one for
    // kFailed.
    static constexpr int kFailed = -1;
    void readChannel5(int tenths) {
        std::vector<int> words(12, 200);
        if (tenths != kFailed) words[kChannel5] = tenths;
        Bytes frame = TemperatureFrame(words);
        if (tenths == kFailed) frame.back() ^= 1;
        line.reply(frame);
        click(MainDialog::kAcquireButton);
    }
    bool coloured(int column, int row = kRow5) {
        return list(MainDialog::kLowChannelList)
            ->item(row, column)
            ->data(Qt::BackgroundRole)
            .isValid();
    }

    std::vector<QString> notifications;
    std::int64_t nextMs = 1'700'000'000'000;
};

// The table refuses a limit that is no temperature, or a low above the high, and points at
// the cell; what it accepts shows in the lists and is kept in the configuration folder.
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
            table.item(kChannel5, ChannelSettingsDialog::kNameColumn)->setText("炉膛");
            table.item(0, ChannelSettingsDialog::kNameColumn)->setText("进口, 左");
            set(3, ChannelSettingsDialog::kHighColumn, "3O");
            table.item(3, ChannelSettingsDialog::kHighColumn)->setText("30");
            set(3, ChannelSettingsDialog::kLowColumn, "30.1");
            EXPECT_EQ(person.messages,
                      (std::vector<std::string>{"报警限应为温度值(°C)，最多一位小数!",
                                                "下限不能高于上限!"}));
            EXPECT_EQ(table.currentRow(), 3);
            EXPECT_EQ(table.currentColumn(), ChannelSettingsDialog::kLowColumn);
            EXPECT_NE(dialog.result(), QDialog::Accepted);
            set(3, ChannelSettingsDialog::kLowColumn, "-5");
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
        }));

    EXPECT_EQ(list(MainDialog::kLowChannelList)->item(kRow5, 0)->text(), "通道5 (炉膛)");
    EXPECT_EQ(list(MainDialog::kPt100List)->item(0, 0)->text(), "PT100通道1 (进口, 左)");

    // A window started later finds them in the file under the configuration folder.
    EXPECT_TRUE(std::filesystem::exists(config.path() / "tavolex" / "channels.ini"));
    MainDialog later(ports, clock, person);
    EXPECT_EQ(later.control<QTableWidget>(MainDialog::kLowChannelList)->item(kRow5, 0)->text(),
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
    EXPECT_TRUE(coloured(1) && coloured(2));
    EXPECT_FALSE(coloured(0, kRow5 + 1));

    EXPECT_EQ(notifications, std::vector<QString>{"通道5: 30.1 °C, 上限 30.0 °C"});
    EXPECT_EQ(trend().alarms().count(kChannel5), 2);
    EXPECT_EQ(trend().statistics().of(kChannel5).count, 4);
    EXPECT_EQ(trend().statistics().of(kChannel5).maxTenths, 350);
    // The error log stays for the line's errors.
    EXPECT_TRUE(directory.files().empty());
}

TEST_F(TrendGuiTest, ADoubleClickAddsTheRowsChannelToTheTrendWhichBreaksItsCurveAtAFailure) {
    for (int tenths : {250, 260, kFailed, 240})
        readChannel5(tenths);

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTableWidget* low = list(MainDialog::kLowChannelList);
    const QPoint cell = low->visualItemRect(low->item(kRow5, 1)).center();
    // The view takes a double click only on the cell that a press chose before it, as the
    // first click of a real double click does.
    QTest::mouseClick(low->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(low->viewport(), Qt::LeftButton, {}, cell);
    TrendDialog* dialog = trend().trendDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible() && !dialog->isModal());
    EXPECT_TRUE(dialog->channelShown(kChannel5));
    EXPECT_EQ(dialog->channelList().item(kChannel5, 0)->checkState(), Qt::Checked);
    EXPECT_FALSE(dialog->channelShown(kChannel5 + 1));

    dialog->redrawNow();
    const std::vector<QLineSeries*>& curve = dialog->curveOf(kChannel5);
    ASSERT_EQ(curve.size(), 2u);
    EXPECT_EQ(curve[0]->name(), "通道5");
    EXPECT_EQ(curve[0]->points(),
              (QList<QPointF>{{1'700'000'001'000.0, 25.0}, {1'700'000'002'000.0, 26.0}}));
    EXPECT_EQ(curve[1]->points(), (QList<QPointF>{{1'700'000'004'000.0, 24.0}}));
    // A lone reading is drawn as a dot.
    EXPECT_TRUE(curve[1]->pointsVisible());
    QStringList statistics;
    for (int column :
         {TrendDialog::kMinColumn, TrendDialog::kMeanColumn, TrendDialog::kCountColumn})
        statistics << dialog->channelList().item(kChannel5, column)->text();
    EXPECT_EQ(statistics, (QStringList{"24.0", "25.0", "3"}));

    // Unchecked in its list, the channel leaves the chart.
    dialog->channelList().item(kChannel5, 0)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(dialog->channelShown(kChannel5));
    EXPECT_TRUE(dialog->chart().series().isEmpty());
    window.done(QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
}

// Relative luminance of a colour on the 0-1 scale of the contrast formula.
double Luminance(const QColor& colour) {
    const auto linear = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

TEST_F(TrendGuiTest, TheMenuOpensTheTrendOnTheLastReadingsFirstChannelsWithRoundTicks) {
    std::vector<std::int64_t> times{1'700'000'003'400, 1'700'000'040'700};
    trend().nowMs = [&times] {
        const std::int64_t next = times.front();
        times.erase(times.begin());
        return next;
    };
    for (int tenths : {250, 262})
        readChannel5(tenths);
    trend().trendAction().trigger();
    TrendDialog* dialog = trend().trendDialog();
    ASSERT_NE(dialog, nullptr);
    std::vector<int> shown;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (dialog->channelShown(channel)) shown.push_back(channel);
    }
    // Digital channels 1-8 (words 4-11) in the lists' order, not the PT100 words before them.
    EXPECT_EQ(shown, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11}));

    dialog->redrawNow();
    const auto* time = qobject_cast<QDateTimeAxis*>(dialog->chart().axes(Qt::Horizontal)[0]);
    ASSERT_NE(time, nullptr);
    // 37.3 s of readings: ticks every 10 s from the round time before the first; values 20.0
    // to 26.2 on whole degrees.
    EXPECT_EQ(time->min().toMSecsSinceEpoch(), 1'700'000'000'000);
    EXPECT_EQ(time->max().toMSecsSinceEpoch(), 1'700'000'050'000);
    EXPECT_EQ(time->tickCount(), 6);
    EXPECT_EQ(time->format(), "HH:mm:ss");
    const auto* value = qobject_cast<QValueAxis*>(dialog->chart().axes(Qt::Vertical)[0]);
    ASSERT_NE(value, nullptr);
    EXPECT_DOUBLE_EQ(value->min(), 18.0);
    EXPECT_DOUBLE_EQ(value->max(), 28.0);

    for (int channel = 0; channel < kChannelCount; ++channel) {
        const QColor colour = dialog->channelList().item(channel, 0)->foreground().color();
        EXPECT_GE(1.05 / (Luminance(colour) + 0.05), 3.5) << channel << " is pale on white";
    }

    // Opened again, the window keeps the user's choice.
    dialog->channelList().item(4, 0)->setCheckState(Qt::Unchecked);
    trend().trendAction().trigger();
    EXPECT_FALSE(dialog->channelShown(4));
}

}  // namespace
}  // namespace tavolex
