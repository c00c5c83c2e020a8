// The instrument's time stamp, and the clock, recording-interval and ID-wipe operations on a
// scripted line.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Commands.h"
#include "DeviceTimestamp.h"
#include "FakeLine.h"
#include "IdWipe.h"
#include "InstrumentClock.h"
#include "RecordingInterval.h"
#include "RecordingOperator.h"
#include "StaticHost.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using Messages = std::vector<std::string>;

TEST(DeviceTimestampTest, ReadFieldsShowHexadecimalDigitsAndLocalTimeIsSentInBcd) {
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
}

// Only a date the calendar has is written as an ISO date and time.
TEST(DeviceTimestampTest, OnlyRealDatesAndTimesCount) {
    const std::pair<DeviceTimestamp::Bytes7, bool> cases[] = {
        {{0x20, 0x24, 0x02, 0x29, 0x23, 0x59, 0x59}, true},
        {{0x20, 0x00, 0x02, 0x29, 0x00, 0x00, 0x00}, true},
        {{0x20, 0x24, 0x12, 0x31, 0x00, 0x00, 0x00}, true},
        {{0x20, 0x23, 0x02, 0x29, 0x00, 0x00, 0x00}, false},
        {{0x19, 0x00, 0x02, 0x29, 0x00, 0x00, 0x00}, false},
        {{0x20, 0x24, 0x02, 0x31, 0x00, 0x00, 0x00}, false},
        {{0x20, 0x24, 0x04, 0x31, 0x00, 0x00, 0x00}, false},
        {{0x20, 0x24, 0x13, 0x01, 0x00, 0x00, 0x00}, false},
        {{0x20, 0x24, 0x00, 0x01, 0x00, 0x00, 0x00}, false},
        {{0x20, 0x24, 0x01, 0x00, 0x00, 0x00, 0x00}, false},
        {{0x20, 0x24, 0x01, 0x01, 0x24, 0x00, 0x00}, false},
        {{0x20, 0x24, 0x01, 0x01, 0x00, 0x60, 0x00}, false},
        {{0x20, 0x24, 0x01, 0x01, 0x00, 0x00, 0x60}, false},
        {{0x20, 0x24, 0x01, 0x1A, 0x00, 0x00, 0x00}, false},
        {{0x2A, 0x24, 0x01, 0x01, 0x00, 0x00, 0x00}, false},
    };
    for (const auto& [bytes, real] : cases)
        EXPECT_EQ(DeviceTimestamp(bytes).isRealDateTime(), real)
            << DeviceTimestamp(bytes).dateTimeText();
}

using Run = std::function<bool(SettingsSource&, const LinkContext&, Operator&)>;

// One row per operation: its command, the exact length of its reply, how long it waits, and
// what it says when the reply does not come in time. The faults every operation shares are in
// the outcome table.
struct Operation {
    const char* name;
    std::uint8_t code;
    std::size_t replySize;
    milliseconds timeout;
    std::string readFailure;
    Run run;
};

const Operation kOperations[] = {
    {"ReadClock", command::kReadClock, 16, 2000ms, "读取数据失败!",
     [](auto& w, const auto& l, auto& p) {
         return ReadDeviceClock(OneCall({w, l, p})).done();
     }},
    {"SetClock", command::kSetClock, 10, 2000ms, "读取数据失败!",
     [](auto& w, const auto& l, auto& p) {
         return SetDeviceClock(OneCall({w, l, p}), [] { return std::tm{}; }).done();
     }},
    {"ReadInterval", command::kReadRecordingInterval, 10, 1000ms, "读取失败!",
     [](auto& w, const auto& l, auto& p) {
         return ReadRecordingInterval(OneCall({w, l, p})).done();
     }},
    {"SetInterval", command::kSetRecordingInterval, 10, 1000ms, "设置失败!",
     [](auto& w, const auto& l, auto& p) {
         return SetRecordingInterval(OneCall({w, l, p}), 60).done();
     }},
    {"Wipe", command::kWipeIds, 10, 4000ms, "删除数据失败!",
     [](auto& w, const auto& l, auto& p) {
         return WipeRegisteredIds(OneCall({w, l, p})).done();
     }},
};

void PrintTo(const Operation& row, std::ostream* out) {
    *out << row.name;
}

class DeviceOperationsTest : public ::testing::TestWithParam<Operation> {
protected:
    bool run() { return GetParam().run(window, link.context, person); }

    ManualClock clock;
    testing::FakeLine line{clock};
    testing::FakeLink link{line};
    testing::StaticHost window{LinkSettings{1, 9600, 0x105}};  // address byte 5
    testing::RecordingOperator person;
};

TEST_P(DeviceOperationsTest, AnExactReplyIsTakenOnlyWithinTheWait) {
    const Operation& op = GetParam();
    const Bytes good = ReplyFrame(5, op.code, Bytes(op.replySize - kFrameOverhead, 0x07));
    line.reply(good, op.timeout + 100ms);
    const auto start = clock.now();
    EXPECT_FALSE(run());
    EXPECT_LE(clock.now() - start, op.timeout + 20ms);
    EXPECT_EQ(person.messages, Messages{op.readFailure});

    line.reply(good, op.timeout - 100ms);
    EXPECT_TRUE(run());
    EXPECT_EQ(line.written.at(1)[3], 0x05);
    EXPECT_EQ(line.written.at(1)[4], op.code);
}

INSTANTIATE_TEST_SUITE_P(Device, DeviceOperationsTest, ::testing::ValuesIn(kOperations),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace tavolex
