// The instrument's time stamp, and the requests of the clock, recording-interval and ID-wipe
// operations.
#include <gtest/gtest.h>

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

// Only a date the calendar has is written as an ISO date and time. Stamps as 14 hex digits.
TEST(DeviceTimestampTest, OnlyRealDatesAndTimesCount) {
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

// A clock, interval or wipe request carries the low byte of the device address and its
// command; what each operation makes of the replies is the outcome table's.
TEST(DeviceOperations, RequestsCarryTheAddressByteAndTheirCommand) {
    ManualClock clock;
    testing::FakeLine line{clock};
    testing::FakeLink link{line};
    testing::StaticHost settings{LinkSettings{1, 9600, 0x105}};
    testing::RecordingOperator person;
    ReadDeviceClock(OneCall({settings, link.context, person}));
    SetRecordingInterval(OneCall({settings, link.context, person}), 60);
    WipeRegisteredIds(OneCall({settings, link.context, person}));
    std::vector<std::pair<int, int>> sent;  // address byte and command of each request
    for (const Bytes& frame : line.written)
        sent.emplace_back(frame.at(3), frame.at(4));
    EXPECT_EQ(sent, (std::vector<std::pair<int, int>>{{5, command::kReadClock},
                                                      {5, command::kSetRecordingInterval},
                                                      {5, command::kWipeIds}}));
}

}  // namespace
}  // namespace tavolex
