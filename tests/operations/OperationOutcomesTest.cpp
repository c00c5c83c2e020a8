// Every operation against the same line faults: its outcome, its one message with the port let
// go, and the device address's low byte on every request; the simulator's model answers.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "ChannelCount.h"
#include "FakeLine.h"
#include "FileRegistration.h"
#include "IdWipe.h"
#include "InstrumentClock.h"
#include "InstrumentModel.h"
#include "Offsets.h"
#include "ProbeCalibration.h"
#include "ProbeRegistration.h"
#include "Pt100Operations.h"
#include "ReadTemperatures.h"
#include "RecordingInterval.h"
#include "RecordingOperator.h"
#include "StaticHost.h"
#include "StoredRecords.h"
#include "TemporaryDirectory.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using Runner = std::function<OutcomeKind(OperationContext&)>;

std::string g_told;  // what the last outcome said the operator was told

template <typename Value>
OutcomeKind KindOf(const Outcome<Value>& outcome) {
    g_told = outcome.told;
    return outcome.kind;
}

FileRegistrationProgress g_unfollowed;

// The reason the fake line gives for a port that does not open.
constexpr const char* kReason = "串口不存在。";

struct Operation {
    const char* name;
    Runner run;
    const char* openFailure;  // the first line; the line's reason follows when namesReason
    const char* readFailure;  // silence, a short or late reply and, when exact, a surplus byte
    const char* checksumFailure = nullptr;  // none: fields are read by place, any checksum taken
    bool exact = false;                     // a reply one byte too long is a failure
    bool namesReason = true;
    std::chrono::milliseconds wait{};  // for the reply, after the pause; zero: not timed here
    std::chrono::milliseconds pause{};
};

std::string RegistrationFile() {
    static const testing::TemporaryDirectory directory;
    const std::filesystem::path file = directory.path() / "probes.txt";
    std::ofstream(file) << "01:05:28-FF-01-02-03-04-05-06\n";
    return file.string();
}

Runner Register(RegistrationMode mode,
                std::array<std::string, 8> sn = {"28", "FF", "01", "02", "03", "04", "05", "06"}) {
    const RegistrationInputs inputs{mode, ProbePort::A, 3, sn};
    return [=](OperationContext& c) { return KindOf(RegisterProbe(c, inputs)); };
}
Runner Offset(bool acquiring, std::optional<ProbeType> type, const char* value) {
    return [=](OperationContext& c) { return KindOf(SetOffset(c, acquiring, {type, 2, value})); };
}
Runner Calibrate(std::int32_t ohms) {
    return [=](OperationContext& c) { return KindOf(CalibrateLowTemperatureProbes(c, ohms)); };
}

const Operation kOperations[] = {
    {"ReadTemperatures", [](auto& c) { return KindOf(ReadTemperaturesOnce(c)); }, "打开串口错误!",
     "返回数据错误!", "返回数据错误!"},
    {"SetSignalCount", [](auto& c) { return KindOf(SetSignalCount(c, 64)); }, "打开串口错误!",
     "读数据错误!"},
    {"ReadVersion", [](auto& c) { return KindOf(ReadFirmwareVersion(c)); }, "读数据失败!!!",
     "读数据失败!!!", nullptr, false, false},
    {"ReadOffsets", [](auto& c) { return KindOf(ReadAllOffsets(c, false)); }, "请先打开串口!",
     "数据读取失败!", "校验错误!", true, true, 5000ms},
    {"SetOffset", Offset(false, ProbeType::Digital, "1.5"), "请先打开串口!", "读取数据失败!",
     "检验码错误!", true, true, 2000ms, 200ms},
    {"Calibrate", Calibrate(100), "读数据失败!!!", "读数据失败!!!", nullptr, false, false},
    {"Pt100Parameters", [](auto& c) { return KindOf(ReadPt100Parameters(c, 1)); }, "打开串口错误!",
     "读数据错误!"},
    {"Pt100Calibrate",
     [](auto& c) { return KindOf(CalibratePt100(c, Pt100Calibration::ZeroPoint, 1)); },
     "打开串口错误!", "读数据错误!"},
    {"Pt100Temperatures", [](auto& c) { return KindOf(ReadPt100Temperatures(c)); }, "打开串口错误!",
     "读数据错误!"},
    {"WipeIds", [](auto& c) { return KindOf(WipeRegisteredIds(c)); }, "请先打开串口!",
     "删除数据失败!", "检验码错误!", true, true, 4000ms},
    {"ReadClock", [](auto& c) { return KindOf(ReadDeviceClock(c)); }, "请先打开串口!",
     "读取数据失败!", "检验码错误!", true, true, 2000ms},
    {"SetClock", [](auto& c) { return KindOf(SetDeviceClock(c, LocalTimeNow)); }, "请先打开串口!",
     "读取数据失败!", "检验码错误!", true, true, 2000ms},
    {"ReadInterval", [](auto& c) { return KindOf(ReadRecordingInterval(c)); }, "请先打开串口!",
     "读取失败!", "检验码错误!", true, true, 1000ms},
    {"SetInterval", [](auto& c) { return KindOf(SetRecordingInterval(c, 5)); }, "请先打开串口!",
     "设置失败!", "检验码错误!", true, true, 1000ms},
    {"RegisterSemi", Register(RegistrationMode::SemiAutomatic), "打开串口错误!", "读数据错误!"},
    {"RegisterManual", Register(RegistrationMode::Manual), "打开串口错误!", "读数据错误!"},
    {"RegisterAuto", Register(RegistrationMode::FullyAutomatic), "打开串口错误!", "读数据错误!"},
    {"ReadSn", [](auto& c) { return KindOf(ReadProbeSn(c, 1)); }, "打开串口错误!", "读数据错误!"},
    {"CountRecords", [](auto& c) { return KindOf(CountStoredRecords(c)); },
     "没有发现此串口或此串口被占用", "读取失败!", "检验码错误!", true, true, 1000ms},
    {"DeleteRecords", [](auto& c) { return KindOf(DeleteStoredRecords(c)); },
     "没有发现此串口或此串口被占用", "校验出错!", "校验出错!", true, true, 10000ms},
    {"RegisterFile", [](auto& c) { return KindOf(RegisterFromFile(c, g_unfollowed, {})); },
     "第1行注册失败错误,该行无注册,程序退出!", "第1行注册失败错误,该行无注册,程序退出!", nullptr,
     false, false},
};

// Inputs an operation refuses before anything is sent, each with its one message.
using Refusal = std::tuple<const char*, Runner, const char*>;

const Refusal kRefusals[] = {
    {"OffsetsWhileAcquiring", [](auto& c) { return KindOf(ReadAllOffsets(c, true)); },
     "请先取消当前采集!"},
    {"OffsetOutOfRange", Offset(false, ProbeType::Platinum, "10.01"),
     "偏移值设置范围在+10.0～-10.0，请再次输入。"},
    {"OffsetWhileAcquiring", Offset(true, ProbeType::Digital, "1"), "请先取消当前采集!"},
    {"OffsetWithoutType", Offset(false, std::nullopt, "1"), "请先选择探头类别!"},
    {"Resistor22", Calibrate(22), "请先选择电阻!"},
    {"Resistor99", Calibrate(99), "请先选择电阻!"},
    {"Resistor101", Calibrate(101), "请先选择电阻!"},
    {"Resistor144", Calibrate(144), "请先选择电阻!"},
    {"Interval61", [](auto& c) { return KindOf(SetRecordingInterval(c, 61)); },
     "输入的数值必须为1-60之间的整数"},
    {"SnAllZero", Register(RegistrationMode::Manual, {"0", "0", "0", "0", "0", "0", "0", "0"}),
     "SN号输入格式错误!"},
    {"SnThreeDigits", Register(RegistrationMode::Manual, {"028", "", "", "", "", "", "", ""}),
     "SN号输入格式错误!"},
    {"SnLowerCase", Register(RegistrationMode::Manual, {"28", "ff", "", "", "", "", "", ""}),
     "SN号输入格式错误!"},
};

// Test names show the row's name, not its bytes.
void PrintTo(const Operation& row, std::ostream* out) {
    *out << row.name;
}

// How the line treats the request.
enum class Fault { None, PortMissing, Silence, ShortReply, BadChecksum, Surplus };

class OnTheModel : public ::testing::Test {
protected:
    OnTheModel() {
        person.chosenFile = RegistrationFile();
        person.onMessage = [this](std::string_view) { EXPECT_FALSE(line.held()); };
        line.failureReason = kReason;
        model.setPluggedCount(sim::ProbePort::A, 1);  // alone on its port: semi-automatic finds it
        line.responder = [this](ByteView request) {
            std::vector<testing::Chunk> chunks;
            for (const sim::Request& parsed : parser.feed(request)) {
                std::optional<Bytes> reply = model.handle(parsed);
                if (!reply || fault == Fault::Silence) continue;
                if (fault == Fault::ShortReply) reply->resize(5);
                if (fault == Fault::BadChecksum) reply->back() ^= 0xFF;
                if (fault == Fault::Surplus) reply->push_back(0);
                chunks.push_back({delay, *reply});
            }
            return chunks;
        };
    }

    OutcomeKind run(Fault lineFault, const Runner& operation) {
        fault = lineFault;
        line.refuseOpen = lineFault == Fault::PortMissing;
        line.written.clear();
        person.messages.clear();
        OperationContext context(host, link.context, person);
        const OutcomeKind kind = operation(context);
        EXPECT_FALSE(line.held());
        for (const Bytes& frame : line.written)
            EXPECT_EQ(frame.at(3), 5) << "the low byte of the device address";
        return kind;
    }

    ManualClock clock;
    testing::FakeLine line{clock};
    testing::FakeLink link{line};
    testing::StaticHost host{LinkSettings{6, 9600, 0x105}};
    testing::RecordingOperator person;
    sim::InstrumentModel model;
    sim::RequestParser parser;
    Fault fault = Fault::None;
    std::chrono::milliseconds delay{};
};

class OperationOutcomesTest : public OnTheModel, public ::testing::WithParamInterface<Operation> {};

TEST_P(OperationOutcomesTest, EachFaultGivesItsOutcomeAndItsOneMessage) {
    const Operation& op = GetParam();
    const std::string open =
        op.openFailure + std::string(op.namesReason ? "\n" : "") + (op.namesReason ? kReason : "");
    const struct {
        Fault fault;
        OutcomeKind kind;
        std::string told;  // for a failure
    } rows[] = {
        {Fault::None, OutcomeKind::Done, {}},
        {Fault::PortMissing, OutcomeKind::PortNotOpened, open},
        {Fault::Silence, OutcomeKind::Failed, op.readFailure},
        {Fault::ShortReply, OutcomeKind::Failed, op.readFailure},
        {Fault::Surplus, op.exact ? OutcomeKind::Failed : OutcomeKind::Done, op.readFailure},
        {Fault::BadChecksum, op.checksumFailure ? OutcomeKind::Failed : OutcomeKind::Done,
         op.checksumFailure ? op.checksumFailure : ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.fault));
        EXPECT_EQ(run(row.fault, op.run), row.kind);
        EXPECT_EQ(!line.written.empty(), row.fault != Fault::PortMissing);
        if (row.kind != OutcomeKind::Done) {
            EXPECT_EQ(person.messages, std::vector{row.told});
        }
        EXPECT_EQ(g_told, person.messages.empty() ? "" : person.messages.back());
    }
    // A reply is taken only within the operation's wait, which ends on time.
    if (op.wait > 0ms) {
        delay = op.wait + 100ms;
        const Clock::TimePoint start = clock.now();
        EXPECT_EQ(run(Fault::None, op.run), OutcomeKind::Failed);
        EXPECT_LE(clock.now() - start, op.pause + op.wait + 20ms);
        EXPECT_EQ(person.messages, std::vector<std::string>{op.readFailure});
        delay = op.wait - 100ms;
        EXPECT_EQ(run(Fault::None, op.run), OutcomeKind::Done);
        delay = 0ms;
    }
    if (op.namesReason) {
        EXPECT_EQ(line.reasonAskedFor.portNumber, 6);  // the chosen port's reason
    }

    // Refused settings have had their message: nothing is opened, sent or said.
    host.refuses = true;
    const int opens = line.opens;
    EXPECT_EQ(run(Fault::None, op.run), OutcomeKind::Refused);
    EXPECT_EQ(line.opens, opens);
    EXPECT_TRUE(person.messages.empty());
    host.refuses = false;
}

TEST_F(OnTheModel, RefusedInputsAreToldOnceAndNothingIsSent) {
    for (const auto& [name, runner, told] : kRefusals) {
        EXPECT_EQ(run(Fault::None, runner), OutcomeKind::Refused) << name;
        EXPECT_TRUE(line.written.empty()) << name;
        EXPECT_EQ(person.messages, std::vector<std::string>{told}) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Every, OperationOutcomesTest, ::testing::ValuesIn(kOperations),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace tavolex
