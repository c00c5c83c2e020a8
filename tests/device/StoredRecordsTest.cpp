// The stored records on a scripted line: the count and delete exchanges, the download loop, and
// the texts of the records table and its CSV file.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <string>

#include "Commands.h"
#include "FakeLine.h"
#include "RecordDownload.h"
#include "RecordFrames.h"
#include "RecordTexts.h"
#include "RecordingOperator.h"
#include "StoredRecords.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using Messages = std::vector<std::string>;
using testing::Chunk;
using testing::SeriesRecord;

TEST(RecordTextsTest, RowsShowTimeAndTemperaturesAsTheTableDoes) {
    const struct {
        testing::Stamp stamp;
        std::string time;
        std::string dateTime;  // empty: not valid BCD
    } stamps[] = {
        {{0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01}, "2024/05/07/09/03/01", "2024-05-07 09:03:01"},
        {{0x00, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01}, "24/05/07/09/03/01", "0024-05-07 09:03:01"},
        {{0x20, 0x24, 0x1A, 0x31, 0x23, 0x59, 0x59}, "2024/1A/31/23/59/59", ""},
        {{0x20, 0x9F, 0x12, 0x31, 0x00, 0x00, 0x00}, "209F/12/31/00/00/00", ""},
    };
    for (const auto& s : stamps) {
        const DeviceTimestamp stamp(s.stamp);
        EXPECT_EQ(RecordTimeText(stamp), s.time);
        EXPECT_EQ(stamp.isValidBcd(), !s.dateTime.empty()) << s.time;
        if (stamp.isValidBcd()) {
            EXPECT_EQ(stamp.dateTimeText(), s.dateTime);
        }
    }

    // PT100 words 0x8000.., channels 0x7FFF.. (the last channel's word wraps to 0x803E).
    const auto record = StoredRecord::FromReply(
        testing::RecordFrame({0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01}, 0x8000, 0x7FFF));
    const std::vector<std::string> row = RecordRowTexts(7, record);
    ASSERT_EQ(row.size(), 70u);
    EXPECT_EQ(row[0], "记录#7");
    EXPECT_EQ(row[1], "2024/05/07/09/03/01");
    EXPECT_EQ(row[2], "3276.7");  // channel 1
    EXPECT_EQ(row[3], "-0.0");    // channel 2: 0x8000
    EXPECT_EQ(row[65], "-6.2");   // channel 64: 0x803E
    EXPECT_EQ(row[66], "-0.0");   // PT100 1
    EXPECT_EQ(row[69], "-0.3");   // PT100 4

    const std::vector<std::string> failed = RecordRowTexts(2, std::nullopt);
    EXPECT_EQ(failed[0], "记录#2");
    EXPECT_EQ(failed[1], "读取失败");
    EXPECT_EQ(std::count(failed.begin(), failed.end(), ""), 68);

    const std::vector<RecordColumn> columns = RecordColumns();
    ASSERT_EQ(columns.size(), 70u);
    EXPECT_EQ(columns[0].heading, "记录条目");
    EXPECT_EQ(columns[1].widthPx, 140);
    EXPECT_EQ(columns[2].heading, "通道1");
    EXPECT_EQ(columns[65].heading, "通道64");
    EXPECT_EQ(columns[65].widthPx, 60);
    EXPECT_EQ(columns[66].heading, "PT100通道1");
    EXPECT_EQ(columns[69].widthPx, 74);
}

TEST(RecordTextsTest, CsvQuotesOnlyWhatMustBeQuotedAndNamesTheFileAfterTheFirstStamp) {
    EXPECT_EQ(CsvText({"a", "时间"}, {{"x,y", "say \"hi\""}, {"line\nbreak", ""}}),
              "\xEF\xBB\xBF"
              "a,时间\r\n\"x,y\",\"say \"\"hi\"\"\"\r\n\"line\nbreak\",\r\n");
    EXPECT_EQ(CsvFileName(DeviceTimestamp({0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01})),
              "记录_2024-05-07_09-03-01.csv");
    EXPECT_EQ(CsvFileName(std::nullopt), "记录.csv");
}

class StoredRecordsTest : public ::testing::Test {
protected:
    StoredRecordsTest() {
        // Whatever the operator is told, the port has been let go by then.
        person.onMessage = [this](std::string_view) { EXPECT_FALSE(line.held()); };
    }
    std::optional<int> count() {
        PortHandle port = OpenRecordsPort(link.context, settings, person);
        if (!port) return std::nullopt;
        return ReadRecordCount(port, settings.addressByte(), link.context, person);
    }

    testing::ManualClock clock;
    testing::FakeLine line{clock};
    testing::FakeLink link{line};
    testing::RecordingOperator person;
    LinkSettings settings{4, 1200, 0x109};  // address byte 9
};

TEST_F(StoredRecordsTest, CountAndDeleteTakeOnlyAnExactReplyInTime) {
    using Op = std::function<bool()>;
    const struct {
        const char* name;
        Bytes good;
        std::chrono::milliseconds timeout;
        std::string readFailure;
        std::string badChecksum;
        Op run;
    } operations[] = {
        {"count", testing::RecordCountFrame(0x0102, 9), 1000ms, "读取失败!", "检验码错误!",
         [&] { return count() == 0x0102; }},
        {"delete", ReplyFrame(9, command::kDeleteRecords, Bytes{0}), 10000ms, "校验出错!",
         "校验出错!", [&] { return DeleteStoredRecords(link.context, settings, person); }},
    };
    for (const auto& op : operations) {
        SCOPED_TRACE(op.name);
        Bytes badChecksum = op.good;
        badChecksum.back() ^= 0x01;
        Bytes surplus = op.good;
        surplus.push_back(0x00);
        const struct {
            const char* situation;
            std::function<void()> script;
            std::string told;
        } cases[] = {
            {"port missing", [&] { line.refuseOpen = true; }, "没有发现此串口或此串口被占用"},
            {"silent", [&] { line.silence(); }, op.readFailure},
            {"late", [&] { line.reply(op.good, op.timeout + 100ms); }, op.readFailure},
            {"short", [&] { line.reply(Bytes(op.good.begin(), op.good.end() - 1)); },
             op.readFailure},
            {"surplus", [&] { line.reply(surplus); }, op.readFailure},
            {"checksum", [&] { line.reply(badChecksum); }, op.badChecksum},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.situation);
            line.refuseOpen = false;
            person.messages.clear();
            c.script();
            EXPECT_FALSE(op.run());
            EXPECT_EQ(person.messages, Messages{c.told});
            EXPECT_FALSE(line.held());
        }
        person.messages.clear();
        line.written.clear();
        line.reply(op.good, op.timeout - 100ms);
        EXPECT_TRUE(op.run());
        EXPECT_FALSE(line.held());
        EXPECT_EQ(line.lastProfile, PortProfile::Records);
        EXPECT_EQ(line.lastSettings.baudRate, 1200);
        ASSERT_EQ(line.written.size(), 1u);
        EXPECT_EQ(line.written[0][3], 9);
    }
    EXPECT_EQ(person.messages, Messages{"记录已全部删除!"});
    EXPECT_EQ(line.written[0], RequestFrame(9, command::kDeleteRecords));
}

// Notes what the download shows; can stop it after a given record.
class Sink final : public RecordSink {
public:
    explicit Sink(RecordTransferState& state) : m_state(state) {}
    void showRecord(int number, const std::optional<StoredRecord>& record) override {
        // Rows come in order, and the progress counts only rows already complete.
        EXPECT_EQ(number, static_cast<int>(numbers.size()) + 1);
        EXPECT_EQ(m_state.done, number - 1);
        numbers.push_back(number);
        records.push_back(record);
        if (number == stopAfter) m_state.stop = true;
    }
    std::vector<int> numbers;
    std::vector<std::optional<StoredRecord>> records;
    int stopAfter = 0;

private:
    RecordTransferState& m_state;
};

class RecordDownloadTest : public StoredRecordsTest {
protected:
    void download(int total) {
        state.total = total;
        PortHandle port = link.opener.open(settings, PortProfile::Records);
        DownloadRecords(std::move(port), 9, state, sink, link.context);
        EXPECT_FALSE(line.held());
    }
    std::vector<int> requested() const {
        std::vector<int> numbers;
        for (const Bytes& frame : line.written) {
            EXPECT_EQ(frame.size(), 10u);
            numbers.push_back(frame.at(7));
        }
        return numbers;
    }
    bool readWhole(std::size_t index, int n) const {
        const auto& record = sink.records.at(index);
        return record && RecordRowTexts(n, record) ==
                             RecordRowTexts(n, StoredRecord::FromReply(SeriesRecord(n)));
    }

    RecordTransferState state;
    Sink sink{state};
};

TEST_F(RecordDownloadTest, ABadRecordShowsAsUnreadableAndTheDownloadGoesOn) {
    const Bytes second = SeriesRecord(2);
    const Bytes late(second.begin(), second.begin() + 100);
    const Bytes lateRest(second.begin() + 100, second.end());
    Bytes surplus = SeriesRecord(4);
    surplus.insert(surplus.end(), {0, 0, 0});
    line.reply(SeriesRecord(1));
    // Record 2 comes late, its end only after the read gave up on it; the line is left to fall
    // silent before record 3 is asked for.
    line.replyInChunks({{1700ms, late}, {1790ms, lateRest}});
    line.reply(SeriesRecord(3), 50ms);
    // Bytes left over from record 4 are discarded before record 5 is asked for.
    line.reply(surplus);
    line.reply(SeriesRecord(5));
    line.silence();
    line.reply(SeriesRecord(7));
    download(7);
    EXPECT_EQ(requested(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(sink.numbers, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    for (const int good : {1, 3, 5, 7})
        EXPECT_TRUE(readWhole(good - 1, good)) << good;
    for (const int bad : {2, 4, 6})
        EXPECT_FALSE(sink.records[bad - 1]) << bad;
    EXPECT_EQ(state.done, 7);
}

TEST_F(RecordDownloadTest, RecordsBeyond255AreNeverAskedForAndShowAsUnreadable) {
    line.responder = [](ByteView request) {
        return std::vector<Chunk>{{5ms, SeriesRecord(request[7])}};
    };
    download(300);
    std::vector<int> expected(255);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(requested(), expected);
    ASSERT_EQ(sink.numbers.size(), 300u);
    EXPECT_TRUE(readWhole(254, 255));
    EXPECT_FALSE(sink.records[255]);
    EXPECT_FALSE(sink.records[299]);
    EXPECT_EQ(state.done, 300);
}

TEST_F(RecordDownloadTest, AStopEndsAfterTheRecordInHandOrCutsAWaitShort) {
    line.responder = [](ByteView request) {
        return std::vector<Chunk>{{0ms, SeriesRecord(request[7])}};
    };
    sink.stopAfter = 10;
    download(40);
    EXPECT_EQ(sink.numbers.size(), 10u);
    EXPECT_EQ(line.written.size(), 10u);
    EXPECT_EQ(state.done, 10);

    // Stopped 300 ms into the wait for a silent record: it ends there and shows nothing more.
    line.written.clear();
    sink.numbers.clear();
    sink.stopAfter = 0;
    state.stop = false;
    line.responder = nullptr;
    line.reply(SeriesRecord(1));
    const auto stopAt = clock.now() + 300ms;
    clock.onAdvance = [&] {
        if (clock.now() >= stopAt) state.stop = true;
    };
    download(40);
    EXPECT_EQ(sink.numbers, std::vector<int>{1});
    EXPECT_EQ(line.written.size(), 2u);
    EXPECT_LT(clock.now() - stopAt, 20ms);
}

}  // namespace
}  // namespace tavolex
