// Every operation against the same faults of the line gives the same kind of outcome, and the
// client turns each kind into the same exit status. The instrument is the simulator's model,
// answering through a fake line with a manual clock.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "ChannelCount.h"
#include "Cli.h"
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
#include "Session.h"
#include "StaticHost.h"
#include "StoredRecords.h"
#include "TemporaryDirectory.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;
using Runner = std::function<OutcomeKind(OperationContext&)>;

// What the last outcome said the operator was told.
std::string g_told;

template <typename Value>
OutcomeKind KindOf(const Outcome<Value>& outcome) {
    g_told = outcome.told;
    return outcome.kind;
}

struct Operation {
    const char* name;
    Runner run;
    // The operation with an input it refuses before anything is sent; none when every input
    // is sent as it is.
    Runner refusedInput = {};
    // The reply is checked against its checksum (the generic transaction reads fields by
    // their place and takes any checksum, as the instrument's own program does).
    bool checksChecksum = false;
};

std::string RegistrationFile() {
    static const testing::TemporaryDirectory directory;
    const std::filesystem::path file = directory.path() / "probes.txt";
    std::ofstream(file) << "01:05:28-FF-01-02-03-04-05-06\n";
    return file.string();
}

RegistrationInputs Registration(RegistrationMode mode) {
    RegistrationInputs inputs;
    inputs.mode = mode;
    inputs.channel = 3;
    inputs.snTexts = {"28", "FF", "01", "02", "03", "04", "05", "06"};
    return inputs;
}

const Operation kOperations[] = {
    {"ReadTemperatures", [](auto& c) { return KindOf(ReadTemperaturesOnce(c)); }, {}, true},
    {"SetSignalCount", [](auto& c) { return KindOf(SetSignalCount(c, 64)); }},
    {"ReadVersion", [](auto& c) { return KindOf(ReadFirmwareVersion(c)); }},
    {"ReadOffsets", [](auto& c) { return KindOf(ReadAllOffsets(c, false)); },
     [](auto& c) { return KindOf(ReadAllOffsets(c, true)); }, true},
    {"SetOffset",
     [](auto& c) {
         return KindOf(SetOffset(c, false, {ProbeType::Digital, 2, "1.5"}));
     },
     [](auto& c) {
         return KindOf(SetOffset(c, false, {ProbeType::Digital, 2, "10.1"}));
     },
     true},
    {"Calibrate", [](auto& c) { return KindOf(CalibrateLowTemperatureProbes(c, 100)); },
     [](auto& c) { return KindOf(CalibrateLowTemperatureProbes(c, 99)); }},
    {"Pt100Parameters", [](auto& c) { return KindOf(ReadPt100Parameters(c, 1)); }},
    {"Pt100Calibrate",
     [](auto& c) { return KindOf(CalibratePt100(c, Pt100Calibration::ZeroPoint, 1)); }},
    {"Pt100Temperatures", [](auto& c) { return KindOf(ReadPt100Temperatures(c)); }},
    {"WipeIds", [](auto& c) { return KindOf(WipeRegisteredIds(c)); }, {}, true},
    {"ReadClock", [](auto& c) { return KindOf(ReadDeviceClock(c)); }, {}, true},
    {"SetClock", [](auto& c) { return KindOf(SetDeviceClock(c, LocalTimeNow)); }, {}, true},
    {"ReadInterval", [](auto& c) { return KindOf(ReadRecordingInterval(c)); }, {}, true},
    {"SetInterval", [](auto& c) { return KindOf(SetRecordingInterval(c, 5)); },
     [](auto& c) { return KindOf(SetRecordingInterval(c, 61)); }, true},
    {"RegisterSemi",
     [](auto& c) {
         return KindOf(RegisterProbe(c, Registration(RegistrationMode::SemiAutomatic)));
     }},
    {"RegisterManual",
     [](auto& c) { return KindOf(RegisterProbe(c, Registration(RegistrationMode::Manual))); },
     [](auto& c) {
         RegistrationInputs inputs = Registration(RegistrationMode::Manual);
         inputs.snTexts[7] = "XY";
         return KindOf(RegisterProbe(c, inputs));
     }},
    {"RegisterAuto",
     [](auto& c) {
         return KindOf(RegisterProbe(c, Registration(RegistrationMode::FullyAutomatic)));
     }},
    {"ReadSn", [](auto& c) { return KindOf(ReadProbeSn(c, 1)); }},
    {"CountRecords", [](auto& c) { return KindOf(CountStoredRecords(c)); }, {}, true},
    {"DeleteRecords", [](auto& c) { return KindOf(DeleteStoredRecords(c)); }, {}, true},
    {"RegisterFile",
     [](auto& c) {
         FileRegistrationProgress unfollowed;
         return KindOf(RegisterFromFile(c, unfollowed, {}));
     }},
};

// How the line treats the request.
enum class Fault { None, PortMissing, Silence, ShortReply, BadChecksum };

class OperationOutcomesTest : public ::testing::TestWithParam<Operation> {
protected:
    OperationOutcomesTest() {
        person.chosenFile = RegistrationFile();
        // A semi-automatic registration finds a probe only when it hangs alone on its port.
        model.setPluggedCount(sim::ProbePort::A, 1);
        line.responder = [this](ByteView request) {
            std::vector<testing::Chunk> chunks;
            for (const sim::Request& parsed : parser.feed(request)) {
                std::optional<Bytes> reply = model.handle(parsed);
                if (!reply || fault == Fault::Silence) continue;
                if (fault == Fault::ShortReply) reply->resize(5);
                if (fault == Fault::BadChecksum) reply->back() ^= 0xFF;
                chunks.push_back({0ms, *reply});
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
        return operation(context);
    }

    ManualClock clock;
    testing::FakeLine line{clock};
    testing::FakeLink link{line};
    testing::StaticHost host{LinkSettings{1, 9600, 0}};
    testing::RecordingOperator person;
    sim::InstrumentModel model;
    sim::RequestParser parser;
    Fault fault = Fault::None;
};

TEST_P(OperationOutcomesTest, TheSameFaultGivesTheSameOutcomeAndExitStatus) {
    const Operation& operation = GetParam();
    const std::pair<Fault, OutcomeKind> rows[] = {
        {Fault::None, OutcomeKind::Done},
        {Fault::PortMissing, OutcomeKind::PortNotOpened},
        {Fault::Silence, OutcomeKind::Failed},
        {Fault::ShortReply, OutcomeKind::Failed},
        {Fault::BadChecksum, operation.checksChecksum ? OutcomeKind::Failed : OutcomeKind::Done}};
    for (const auto& [lineFault, expected] : rows) {
        EXPECT_EQ(run(lineFault, operation.run), expected) << static_cast<int>(lineFault);
        EXPECT_EQ(!line.written.empty(), lineFault != Fault::PortMissing);
        // Every failure is told; the operator is never left without a word.
        if (expected != OutcomeKind::Done) {
            EXPECT_FALSE(person.messages.empty()) << static_cast<int>(lineFault);
        }
        // The outcome carries what the operator read last.
        EXPECT_EQ(g_told, person.messages.empty() ? "" : person.messages.back());
    }

    host.refuses = true;
    EXPECT_EQ(run(Fault::None, operation.run), OutcomeKind::Refused);
    EXPECT_TRUE(line.written.empty());
    host.refuses = false;

    if (operation.refusedInput) {
        EXPECT_EQ(run(Fault::None, operation.refusedInput), OutcomeKind::Refused);
        EXPECT_TRUE(line.written.empty());
        EXPECT_EQ(person.messages.size(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Every, OperationOutcomesTest, ::testing::ValuesIn(kOperations),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(OperationOutcomes, TheClientsExitStatusFollowsTheOutcome) {
    EXPECT_EQ(cli::ExitStatus(OutcomeKind::Done), cli::kExitSuccess);
    EXPECT_EQ(cli::ExitStatus(OutcomeKind::Refused), cli::kExitUsage);
    EXPECT_EQ(cli::ExitStatus(OutcomeKind::PortNotOpened), cli::kExitNoPort);
    EXPECT_EQ(cli::ExitStatus(OutcomeKind::Failed), cli::kExitFailed);
}

}  // namespace
}  // namespace tavolex
