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

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using testing::FakeLine;
using testing::FakeLink;
using testing::ManualClock;
using testing::RecordingOperator;
using Messages = std::vector<std::string>;

const DeviceTimestamp::Bytes7 kMay7th{0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01};

std::tm May7th() {
    std::tm local{};
    local.tm_year = 124;
    local.tm_mon = 4;
    local.tm_mday = 7;
    local.tm_hour = 9;
    local.tm_min = 3;
    local.tm_sec = 1;
    return local;
}

TEST(DeviceTimestampTest, FieldsShowTheirHexadecimalDigits) {
    const struct {
        DeviceTimestamp::Bytes7 bytes;
        TimeTexts shown;
    } cases[] = {
        {kMay7th, {"2024", "5", "7", "9", "3", "1"}},
        {{0x00, 0x24, 0x12, 0x31, 0x23, 0x59, 0x00}, {"24", "12", "31", "23", "59", "0"}},
        {{0x20, 0x1A, 0x1A, 0xFF, 0x00, 0x0B, 0x60}, {"201A", "1A", "FF", "0", "B", "60"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeviceTimestamp(c.bytes).fieldTexts(), c.shown);
}

TEST(DeviceTimestampTest, LocalTimeIsSentInBcdAndShownInDecimal) {
    const LocalDateTime may7th = LocalDateTime::FromTm(May7th());
    EXPECT_EQ(DeviceTimestamp::Of(may7th).bytes(), kMay7th);
    EXPECT_EQ(may7th.texts(), (TimeTexts{"2024", "5", "7", "9", "3", "1"}));
    const LocalDateTime lastSecond{1999, 12, 31, 23, 59, 59};
    EXPECT_EQ(DeviceTimestamp::Of(lastSecond).bytes(),
              (DeviceTimestamp::Bytes7{0x19, 0x99, 0x12, 0x31, 0x23, 0x59, 0x59}));
}

// A window whose refresh can refuse a field.
class Window final : public TransactionHost {
public:
    bool refresh() override { return !refuse; }
    LinkSettings linkSettings() const override { return settings; }
    TraceTarget* traceTarget() const override { return nullptr; }
    bool refuse = false;
    LinkSettings settings{1, 9600, 0x105};  // address byte 0x05
};

class DeviceOperationsTest : public ::testing::Test {
protected:
    DeviceOperationsTest() {
        // Whatever the operator is told, the port has been let go by then.
        person.onMessage = [this](std::string_view) { EXPECT_FALSE(line.held()); };
    }
    Bytes payloadSent() const {
        const Bytes& frame = line.written.back();
        return Bytes(frame.begin() + kFrameHeaderSize, frame.end() - 2);
    }

    ManualClock clock;
    FakeLine line{clock};
    FakeLink link{line};
    Window window;
    RecordingOperator person;
};

// One row per operation: its command, its exact reply, and what it says when the reply fails.
struct Operation {
    const char* name;
    std::uint8_t code;
    std::size_t replySize;
    milliseconds timeout;
    std::string readFailure;
    std::function<bool(Window&, const LinkContext&, Operator&)> run;
};

const Operation kOperations[] = {
    {"read clock", command::kReadClock, 16, 2000ms, "读取数据失败!",
     [](Window& w, const LinkContext& l, Operator& p) {
         return ReadDeviceClock(w, l, p).has_value();
     }},
    {"set clock", command::kSetClock, 10, 2000ms, "读取数据失败!",
     [](Window& w, const LinkContext& l, Operator& p) {
         return SetDeviceClock(w, l, p, May7th).has_value();
     }},
    {"read interval", command::kReadRecordingInterval, 10, 1000ms, "读取失败!",
     [](Window& w, const LinkContext& l, Operator& p) {
         return ReadRecordingInterval(w, l, p).has_value();
     }},
    {"set interval", command::kSetRecordingInterval, 10, 1000ms, "设置失败!",
     [](Window& w, const LinkContext& l, Operator& p) {
         return SetRecordingInterval(w, l, p, 15);
     }},
    {"wipe", command::kWipeIds, 10, 4000ms, "删除数据失败!",
     [](Window& w, const LinkContext& l, Operator& p) { return WipeRegisteredIds(w, l, p); }},
};

class EveryOperationTest : public DeviceOperationsTest,
                           public ::testing::WithParamInterface<Operation> {
protected:
    bool run() { return GetParam().run(window, link.context, person); }
    Bytes goodReply() const {
        return ReplyFrame(5, GetParam().code, Bytes(GetParam().replySize - kFrameOverhead, 0x07));
    }
};

TEST_P(EveryOperationTest, AGoodReplyInTimeIsTakenAndTheRequestCarriesTheAddressByte) {
    line.reply(goodReply(), GetParam().timeout - 100ms);
    EXPECT_TRUE(run());
    ASSERT_EQ(line.written.size(), 1u);
    EXPECT_EQ(line.written[0][3], 0x05);
    EXPECT_EQ(line.written[0][4], GetParam().code);
    EXPECT_EQ(line.lastProfile, PortProfile::Command);
    EXPECT_FALSE(line.held());
}

TEST_P(EveryOperationTest, FailuresAreToldAndThePortIsAlwaysClosed) {
    const Operation& op = GetParam();
    const Bytes good = goodReply();
    Bytes badChecksum = good;
    badChecksum.back() ^= 0x01;
    Bytes surplus = good;
    surplus.push_back(0x00);
    const struct {
        const char* situation;
        std::function<void()> script;
        Messages told;
    } cases[] = {
        {"port held elsewhere", [&] { line.refuseOpen = true; }, {"请先打开串口!"}},
        {"silent", [&] { line.silence(); }, {op.readFailure}},
        {"late", [&] { line.reply(good, op.timeout + 100ms); }, {op.readFailure}},
        {"short", [&] { line.reply(Bytes(good.begin(), good.end() - 1)); }, {op.readFailure}},
        {"surplus", [&] { line.reply(surplus); }, {op.readFailure}},
        {"checksum", [&] { line.reply(badChecksum); }, {"检验码错误!"}},
        {"field refused", [&] { window.refuse = true; }, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        line.refuseOpen = false;
        window.refuse = false;
        person.messages.clear();
        c.script();
        EXPECT_FALSE(run());
        EXPECT_EQ(person.messages, c.told);
        EXPECT_FALSE(line.held());
    }
    // Nothing is sent without an open port or after a refused field.
    EXPECT_EQ(line.written.size(), 5u);
}

TEST_P(EveryOperationTest, ASilentInstrumentCostsTheTimeOutAndNoMore) {
    line.silence();
    run();
    EXPECT_GE(clock.elapsed(), GetParam().timeout);
    EXPECT_LE(clock.elapsed(), GetParam().timeout + 20ms);
}

INSTANTIATE_TEST_SUITE_P(Device, EveryOperationTest, ::testing::ValuesIn(kOperations),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::erase(name, ' ');
                             return name;
                         });

TEST_F(DeviceOperationsTest, ClockReadShowsTheStampAndSetSendsTheLocalTimeTakenOnce) {
    Bytes stamp(kMay7th.begin(), kMay7th.end());
    stamp[0] = 0x00;
    line.reply(ReplyFrame(5, command::kReadClock, stamp));
    const auto read = ReadDeviceClock(window, link.context, person);
    EXPECT_EQ(line.written[0], (Bytes{0x14, 0x3F, 0x00, 0x05, 0x10, 0x00, 0x00, 0xFF, 0xAB}));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->fieldTexts(), (TimeTexts{"24", "5", "7", "9", "3", "1"}));

    int taken = 0;
    line.reply(ReplyFrame(5, command::kSetClock, Bytes{0}));
    const auto sent = SetDeviceClock(window, link.context, person, [&] {
        ++taken;
        return May7th();
    });
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(payloadSent(), Bytes(kMay7th.begin(), kMay7th.end()));
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->texts(), (TimeTexts{"2024", "5", "7", "9", "3", "1"}));
    EXPECT_TRUE(person.messages.empty());
}

TEST_F(DeviceOperationsTest, IntervalReadShowsAnyByteAndSetTakesOneToSixtyOnly) {
    line.reply(ReplyFrame(5, command::kReadRecordingInterval, Bytes{0x78}));
    EXPECT_EQ(ReadRecordingInterval(window, link.context, person), 120);

    for (std::int32_t minutes : {1, 60}) {
        line.reply(ReplyFrame(5, command::kSetRecordingInterval, Bytes{0}));
        EXPECT_TRUE(SetRecordingInterval(window, link.context, person, minutes));
        EXPECT_EQ(payloadSent(), Bytes{static_cast<std::uint8_t>(minutes)});
    }
    EXPECT_EQ(person.messages, Messages(2, "设置成功!"));

    person.messages.clear();
    line.written.clear();
    for (std::int32_t minutes : {0, 61, -5, 256 + 15}) {
        EXPECT_FALSE(SetRecordingInterval(window, link.context, person, minutes));
    }
    EXPECT_EQ(person.messages, Messages(4, "输入的数值必须为1-60之间的整数"));
    EXPECT_TRUE(line.written.empty());
    EXPECT_EQ(line.opens, 7);  // the port is opened before the value is looked at
}

TEST_F(DeviceOperationsTest, WipeTellsTheOperatorItIsDone) {
    line.reply(ReplyFrame(5, command::kWipeIds, Bytes{0}));
    EXPECT_TRUE(WipeRegisteredIds(window, link.context, person));
    EXPECT_EQ(line.written[0], (Bytes{0x14, 0x3F, 0x00, 0x05, 0x16, 0x00, 0x00, 0xFF, 0xA5}));
    EXPECT_EQ(person.messages, Messages{"全部ID已删除!"});
}

}  // namespace
}  // namespace tavolex
