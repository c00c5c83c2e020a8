// The instrument's time stamp, and the requests of the clock, recording-interval and ID-wipe
// operations.
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

// A clock, interval or wipe request carries the low byte of the device address and its
// command; what each operation makes of the replies is the outcome table's.
TEST(DeviceOperations, RequestsCarryTheAddressByteAndTheirCommand) {
    ManualClock clock;
    testing::FakeLine line{clock};
    testing::FakeLink link{line};
    testing::StaticHost settings{LinkSettings{1, 9600, 0x105}};
    testing::RecordingOperator person;
    line.silence();
    ReadDeviceClock(OneCall({settings, link.context, person}));
    line.silence();
    SetRecordingInterval(OneCall({settings, link.context, person}), 60);
    line.silence();
    WipeRegisteredIds(OneCall({settings, link.context, person}));
    ASSERT_EQ(line.written.size(), 3u);
    const std::uint8_t codes[] = {command::kReadClock, command::kSetRecordingInterval,
                                  command::kWipeIds};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(line.written[i][3], 0x05);
        EXPECT_EQ(line.written[i][4], codes[i]);
    }
}

}  // namespace
}  // namespace tavolex
