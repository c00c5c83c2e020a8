// The instrument's time stamp, and the stored records on a scripted line: count, delete and
// download, and the records table's CSV and chart.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "Commands.h"
#include "DeviceTimestamp.h"
#include "FakeLine.h"
#include "RecordDownload.h"
#include "RecordFrames.h"
#include "RecordTexts.h"
#include "RecordingOperator.h"
#include "RecordsTrend.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using testing::SeriesRecord;

TEST(DeviceTimestampTest, FieldsShowHexDigitsLocalTimeIsSentInBcdAndOnlyRealDatesCount) {
    const struct {
        DeviceTimestamp::Bytes7 bytes;
        TimeTexts shown;
    } cases[] = {
        {{0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01}, {"2024", "5", "7", "9", "3", "1"}},
        {{0x00, 0x24, 0x12, 0x31, 0x23, 0x59, 0x00}, {"24", "12", "31", "23", "59", "0"}},
        {{0x20, 0x1A, 0x1A, 0xFF, 0x00, 0x0B, 0x60}, {"201A", "1A", "FF", "0", "B", "60"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeviceTimestamp(c.bytes).fieldTexts(), c.shown);

    const LocalDateTime time{1999, 12, 31, 23, 59, 8};
    EXPECT_EQ(DeviceTimestamp::Of(time).bytes(),
              (DeviceTimestamp::Bytes7{0x19, 0x99, 0x12, 0x31, 0x23, 0x59, 0x08}));
    EXPECT_EQ(time.texts(), (TimeTexts{"1999", "12", "31", "23", "59", "8"}));

    // Only a date the calendar has is written as an ISO date and time (stamps as 14 hex digits).
    const auto stamp = [](const std::string& hex) {
        DeviceTimestamp::Bytes7 bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
        return DeviceTimestamp(bytes);
    };
    for (const char* real : {"20240229235959", "20000229000000", "20241231000000"})
        EXPECT_TRUE(stamp(real).isRealDateTime()) << real;
    for (const char* unreal :
         {"20230229000000", "19000229000000", "20240231000000", "20240431000000", "20241301000000",
          "20240001000000", "20240100000000", "20240101240000", "20240101006000", "20240101000060",
          "2024011A000000", "2A240101000000"})
        EXPECT_FALSE(stamp(unreal).isRealDateTime()) << unreal;
}

// In time order, PT100 channels first.
TEST(RecordsTableTest, ChartedAtTheirStampsWithoutADateCountedAndCsvQuotedAndNamed) {
    const auto record = [](DeviceTimestamp::Bytes7 stamp, int pt100, int channel1) {
        StoredRecord made;
        made.stamp = DeviceTimestamp(stamp);
        made.pt100[0] = TenthDegree::FromTenths(pt100);
        made.digital[0] = TenthDegree::FromTenths(channel1);
        made.pt100[3] = TenthDegree::FromTenths(-pt100);        // PT100 4: channel 3
        made.digital[63] = TenthDegree::FromTenths(-channel1);  // channel 64: channel 67
        return made;
    };
    const SavedRun run =
        RunOfRecords({record({0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01}, 215, -5),
                      record({0x20, 0x24, 0x02, 0x30, 0x00, 0x00, 0x00}, 1, 1),
                      record({0x20, 0x24, 0x05, 0x07, 0x08, 0x00, 0x00}, 200, 70)});
    EXPECT_EQ(run.leftOut, 1u);
    ASSERT_EQ(run.history.size(), 2u);
    std::tm eight{};
    eight.tm_year = 124, eight.tm_mon = 4, eight.tm_mday = 7, eight.tm_hour = 8,
    eight.tm_isdst = -1;
    const std::int64_t eightMs = std::int64_t{std::mktime(&eight)} * 1000;
    EXPECT_EQ(run.history.timeAt(0), eightMs);
    EXPECT_EQ(run.history.timeAt(1), eightMs + (63 * 60 + 1) * 1000);
    EXPECT_EQ((std::vector{run.history.valueAt(0, 0), run.history.valueAt(4, 0),
                           run.history.valueAt(0, 1), run.history.valueAt(4, 1),
                           run.history.valueAt(3, 1), run.history.valueAt(67, 1)}),
              (std::vector<std::optional<int>>{200, 70, 215, -5, -215, 5}));

    // The CSV quotes only what must be quoted and is named after the first stamp.
    EXPECT_EQ(CsvText({"a", "时间"}, {{"x,y", "say \"hi\""}, {"line\nbreak", ""}}),
              "\xEF\xBB\xBF"
              "a,时间\r\n\"x,y\",\"say \"\"hi\"\"\"\r\n\"line\nbreak\",\r\n");
    EXPECT_EQ(RecordsCsvName(DeviceTimestamp({0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01})),
              "记录_2024-05-07_09-03-01.csv");
    EXPECT_EQ(RecordsCsvName(std::nullopt), "记录.csv");
}

class StoredRecordsTest : public ::testing::Test, public RecordSink {
protected:
    // Rows come in order, and the progress counts only the rows already complete.
    void showRecord(int number, const std::optional<StoredRecord>& record) override {
        EXPECT_EQ(number, static_cast<int>(shown.size()) + 1);
        EXPECT_EQ(state.done, number - 1);
        shown.push_back(record ? RecordRowTexts(number, record) : std::vector<std::string>{});
    }
    void download(int total) {
        state.total = total;
        DownloadRecords(link.opener.open(settings, PortProfile::Records), 9, state, *this,
                        link.context);
        EXPECT_FALSE(line.held());
    }
    bool shownWhole(int n) const {
        return shown.at(n - 1) == RecordRowTexts(n, StoredRecord::FromReply(SeriesRecord(n)));
    }

    ManualClock clock;
    testing::FakeLine line{clock};
    testing::FakeLink link{line};
    testing::RecordingOperator person;
    LinkSettings settings{4, 1200, 0x109};  // address byte 9
    RecordTransferState state;
    std::vector<std::vector<std::string>> shown;  // empty for an unreadable record
};

// Their faults and waits are in the outcome table; here the records' own port settings.
TEST_F(StoredRecordsTest, CountAndDeleteUseTheRecordsPortProfileAndSettings) {
    FixedSettings fixed(settings);
    line.reply(testing::RecordCountFrame(0x0102, 9));
    {  // the count holds its port for a download until it goes
        const Outcome<RecordCount> counted =
            CountStoredRecords(OneCall({fixed, link.context, person}));
        ASSERT_TRUE(counted);
        EXPECT_EQ(counted->count, 0x0102);
    }
    line.reply(ReplyFrame(9, command::kDeleteRecords, Bytes{0}));
    EXPECT_TRUE(DeleteStoredRecords(OneCall({fixed, link.context, person})));
    EXPECT_EQ(line.lastProfile, PortProfile::Records);
    EXPECT_EQ(line.lastSettings.baudRate, 1200);
    EXPECT_EQ(person.messages, std::vector<std::string>{"记录已全部删除!"});
}

TEST_F(StoredRecordsTest, ABadRecordShowsAsUnreadableAndDoesNotSpoilTheNext) {
    const Bytes second = SeriesRecord(2);
    Bytes surplus = SeriesRecord(4);
    surplus.insert(surplus.end(), {0, 0, 0});
    line.reply(SeriesRecord(1));
    // Record 2 comes late, its end only after the read gave up on it: the line is left to fall
    // silent before record 3 is asked for.
    line.replyInChunks({{1700ms, Bytes(second.begin(), second.begin() + 100)},
                        {1790ms, Bytes(second.begin() + 100, second.end())}});
    line.reply(SeriesRecord(3), 50ms);
    // What is left of record 4 is discarded before record 5 is asked for.
    line.reply(surplus);
    line.reply(SeriesRecord(5));
    line.silence();
    line.reply(SeriesRecord(7));
    download(7);
    for (int n = 1; n <= 7; ++n)  // the odd ones whole, the even ones unreadable
        EXPECT_TRUE(n % 2 ? shownWhole(n) : shown.at(n - 1).empty()) << n;
    // Record 7 of the series: stamped 09:07:00, channel k at 20.6 + k/10, PT100 i at 10.6 + i/10.
    const std::vector<std::string>& seventh = shown.at(6);
    ASSERT_EQ(seventh.size(), 70u);
    EXPECT_EQ((std::vector<std::string>{seventh[0], seventh[1], seventh[2], seventh[65],
                                        seventh[66], seventh[69]}),
              (std::vector<std::string>{"记录#7", "2024/05/07/09/07/00", "20.7", "27.0", "10.7",
                                        "11.0"}));
    ASSERT_EQ(line.written.size(), 7u);
    EXPECT_EQ(line.written[6], RequestFrame(9, command::kStoredRecords, Bytes{7}));
    EXPECT_EQ(state.done, 7);
}

TEST_F(StoredRecordsTest, RecordsBeyond255AreNeverAskedForAndShowAsUnreadable) {
    line.responder = [](ByteView request) {
        return std::vector<testing::Chunk>{{5ms, SeriesRecord(request[7])}};
    };
    download(300);
    ASSERT_EQ(line.written.size(), 255u);
    for (int n = 1; n <= 255; ++n)
        EXPECT_EQ(line.written[n - 1].at(7), n);
    ASSERT_EQ(shown.size(), 300u);
    EXPECT_TRUE(shownWhole(255) && shown[255].empty() && shown[299].empty());
    EXPECT_EQ(state.done, 300);
}

TEST_F(StoredRecordsTest, AStopCutsTheWaitForARecordShortAndShowsNothingMore) {
    line.reply(SeriesRecord(1));
    const auto stopAt = clock.now() + 300ms;
    StopRequest stop;
    link.context.stop = &stop;
    clock.onAdvance = [&] {
        if (clock.now() >= stopAt) stop.request();
    };
    download(40);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(line.written.size(), 2u);
    EXPECT_LT(clock.now() - stopAt, 20ms);
}

}  // namespace
}  // namespace tavolex
