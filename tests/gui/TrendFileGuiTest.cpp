// Saved runs in trend windows of their own, offscreen: opening a file from the trend window,
// zooming and panning through the window's interface and the chart's input, the statistics
// following the span, the readout, and the picture saved as PNG and SVG.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTest>
#include <ctime>
#include <fstream>

#include "RecordingOperator.h"
#include "TemporaryDirectory.h"
#include "TrendChart.h"
#include "TrendDialog.h"

namespace tavolex {
namespace {

std::int64_t At(int minute, int second) {
    std::tm time{};
    time.tm_year = 2024 - 1900;
    time.tm_mon = 2;
    time.tm_mday = 5;
    time.tm_hour = 14;
    time.tm_min = minute;
    time.tm_sec = second;
    time.tm_isdst = -1;
    return std::int64_t{std::mktime(&time)} * 1000;
}

class TrendFileGuiTest : public ::testing::Test {
protected:
    // Eleven readings ten seconds apart from 14:00:00; PT100 channel 1 reads 10.0, 11.0, ...
    // 20.0 °C.
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

TEST_F(TrendFileGuiTest, AnOpenedRunZoomsPansAndKeepsItsStatisticsToTheSpanOnScreen) {
    person.chosenFile = writeRun("run.csv");
    live.openAction().trigger();
    const QList<TrendDialog*> opened = live.findChildren<TrendDialog*>();
    ASSERT_EQ(opened.size(), 1);
    TrendDialog* window = opened.front();
    EXPECT_EQ(window->windowTitle(), "run.csv");
    EXPECT_TRUE(person.messages.empty());
    EXPECT_TRUE(window->channelShown(0));
    EXPECT_EQ(window->visibleSpan(), (TimeSpan{At(0, 0), At(1, 40)}));
    EXPECT_EQ(statistics(*window), (QStringList{"10.0", "20.0", "15.0", "11"}));

    window->zoomTo({At(0, 20), At(0, 50)});
    EXPECT_EQ(statistics(*window), (QStringList{"12.0", "15.0", "13.5", "4"}));
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
    const TimeSpan dragged = window->visibleSpan();
    EXPECT_GT(dragged.fromMs, At(0, 0));
    EXPECT_LT(dragged.toMs, At(1, 40));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    window->chartView().setFocus();
    QTest::keyClick(&window->chartView(), Qt::Key_Home);
    EXPECT_FALSE(window->zoomed());
    window->close();
}

// The picture has the chart's size on screen, and the SVG is one that a renderer reads.
TEST_F(TrendFileGuiTest, ThePictureIsSavedAsPngOrSvgAtItsSizeOnScreen) {
    TrendDialog* window = live.openDataFile(writeRun("run.csv"));
    ASSERT_NE(window, nullptr);
    window->resize(800, 450);
    window->show();
    const QSize size = window->chartView().size();
    person.savedFile = folder.path() / "chart.png";
    window->saveImageAction().trigger();
    EXPECT_EQ(QImage(QString::fromStdString(person.savedFile->string())).size(), size);
    ASSERT_TRUE(window->saveImage(folder.path() / "chart.svg"));
    QSvgRenderer svg(QString::fromStdString((folder.path() / "chart.svg").string()));
    EXPECT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBox().size(), size);
    EXPECT_FALSE(window->saveImage(folder.path() / "missing" / "chart.png"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 3);
    window->close();
}

// A bad line keeps the readings before it and names the file and the line; a file that is no
// saved run opens no window.
TEST_F(TrendFileGuiTest, WhatCannotBeReadIsToldWithTheFileAndLine) {
    TrendDialog* window = live.openDataFile(writeRun("bad.csv", "2024-03-05T14:02:00,x\r\n"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(statistics(*window)[3], "11");
    EXPECT_EQ(person.messages,
              std::vector<std::string>{"bad.csv 第13行无法读取; 之前的各行已载入"});
    window->close();

    const std::filesystem::path notes = folder.path() / "notes.txt";
    std::ofstream(notes) << "hello\n";
    EXPECT_EQ(live.openDataFile(notes), nullptr);
    EXPECT_EQ(person.messages.back(), "notes.txt: 不是数据文件、CSV文件或记录文件");
}

}  // namespace
}  // namespace tavolex
