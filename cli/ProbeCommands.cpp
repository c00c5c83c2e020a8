// Probe registration, reading a channel's probe, and the PT100 service operations.
#include <algorithm>
#include <cctype>
#include <fstream>

#include "Commands.h"
#include "FileRegistration.h"
#include "ProbeRegistration.h"
#include "Pt100Operations.h"
#include "Translate.h"

namespace tavolex::cli {

namespace {

std::optional<ProbePort> PortNamed(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (text == "A") return ProbePort::A;
    if (text == "B") return ProbePort::B;
    return std::nullopt;
}

// The eight fields of "28-FF-...", upper-cased as the window's fields take them; none when
// the text does not have eight fields.
std::optional<std::array<std::string, 8>> SnFields(const std::string& text) {
    std::array<std::string, 8> fields;
    std::size_t field = 0;
    for (const char c : text) {
        if (c == '-' || c == ':') {
            if (++field >= fields.size()) return std::nullopt;
            continue;
        }
        fields[field] += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (field != fields.size() - 1) return std::nullopt;
    return fields;
}

// The registration inputs of a port and channel operand; none after telling of bad usage.
std::optional<RegistrationInputs> PortAndChannel(Session& session, RegistrationMode mode) {
    RegistrationInputs inputs;
    inputs.mode = mode;
    const std::optional<ProbePort> port = PortNamed(session.operands[0]);
    const std::optional<std::int32_t> channel = WholeNumber(session.operands[1]);
    if (!port || !channel) {
        session.usage(Translate("Cli", "the port is A or B, the channel a whole number"));
        return std::nullopt;
    }
    inputs.port = *port;
    inputs.channel = *channel;
    return inputs;
}

std::optional<std::uint8_t> Pt100Channel(Session& session, const std::string& text) {
    const std::optional<std::int32_t> channel = WholeNumber(text);
    if (!channel || *channel < 1 || *channel > kPt100ChannelCount) {
        session.usage(Translate("Cli", "the PT100 channel is 1 to 4"));
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*channel - 1);
}

}  // namespace

int ReadSn(Session& session) {
    const std::optional<std::int32_t> channel = WholeNumber(session.operands[0]);
    // Any text that is no whole number is out of range alike.
    if (const auto refusal = SnReadChannelRefusal(channel.value_or(-1))) {
        session.person.message(*refusal);
        return kExitUsage;
    }
    OperationContext context = session.operation();
    const Outcome<ReadSnOutcome> outcome = ReadProbeSn(context, *channel);
    if (!outcome) return ExitStatus(outcome.kind);
    const std::string& line = session.person.clipboard();
    DataOutput(session.out, session.format)
        .write({{"port", outcome->port == ProbePort::A ? "A" : "B", false},
                {"channel", std::to_string(*channel), true},
                {"sn", line.substr(line.rfind(':') + 1), false},
                {"line", line, false}});
    return kExitSuccess;
}

int RegisterSemiAutomatic(Session& session) {
    const auto inputs = PortAndChannel(session, RegistrationMode::SemiAutomatic);
    if (!inputs) return kExitUsage;
    OperationContext context = session.operation();
    return ExitStatus(RegisterProbe(context, *inputs).kind);
}

int RegisterManual(Session& session) {
    auto inputs = PortAndChannel(session, RegistrationMode::Manual);
    if (!inputs) return kExitUsage;
    // A text without eight fields is refused by the operation like any other bad number.
    inputs->snTexts = SnFields(session.operands[2]).value_or(std::array<std::string, 8>{});
    OperationContext context = session.operation();
    return ExitStatus(RegisterProbe(context, *inputs).kind);
}

int RegisterFullyAutomatic(Session& session) {
    RegistrationInputs inputs;
    inputs.mode = RegistrationMode::FullyAutomatic;
    OperationContext context = session.operation();
    return ExitStatus(RegisterProbe(context, inputs).kind);
}

int RegisterFile(Session& session) {
    const std::optional<std::string> file = session.args.option("file");
    if (!file)
        return session.usage(Translate("Cli", "register needs semi, manual, auto or --file FILE"));
    if (!std::ifstream(*file))
        return session.usage(Substitute(Translate("Cli", "cannot read '%1'"), {*file}));
    session.person.chooseFile(*file);
    FileRegistrationProgress unfollowed;
    OperationContext context = session.operation();
    return ExitStatus(RegisterFromFile(context, unfollowed, {}).kind);
}

int ShowPt100Parameters(Session& session) {
    const auto channel = Pt100Channel(session, session.operands[0]);
    if (!channel) return kExitUsage;
    OperationContext context = session.operation();
    const Outcome<Pt100Parameters> parameters = ReadPt100Parameters(context, *channel);
    if (!parameters) return ExitStatus(parameters.kind);
    DataOutput(session.out, session.format)
        .write({{"zero", std::to_string(parameters->zeroPointAd), true},
                {"offset", Pt100OffsetText(parameters->offsetTenths), true},
                {"r1", std::to_string(parameters->resistor1Ad), true},
                {"r2", std::to_string(parameters->resistor2Ad), true}});
    return kExitSuccess;
}

int CalibratePt100Channel(Session& session) {
    const std::string& kind = session.operands[0];
    const std::optional<Pt100Calibration> step = kind == "zero" ? Pt100Calibration::ZeroPoint
                                                 : kind == "r1" ? Pt100Calibration::Resistor1
                                                 : kind == "r2" ? Pt100Calibration::Resistor2
                                                                : std::optional<Pt100Calibration>();
    if (!step) return session.usage(Translate("Cli", "the calibration step is zero, r1 or r2"));
    const auto channel = Pt100Channel(session, session.operands[1]);
    if (!channel) return kExitUsage;
    OperationContext context = session.operation();
    const Outcome<int> value = CalibratePt100(context, *step, *channel);
    if (value)
        DataOutput(session.out, session.format).write({{kind, std::to_string(*value), true}});
    return ExitStatus(value.kind);
}

int ShowPt100Temperatures(Session& session) {
    OperationContext context = session.operation();
    const Outcome<Pt100Temperatures> temperatures = ReadPt100Temperatures(context);
    if (!temperatures) return ExitStatus(temperatures.kind);
    Row row;
    for (int i = 0; i < kPt100ChannelCount; ++i) {
        row.push_back({kPt100KeyPrefix + std::to_string(i + 1),
                       (*temperatures)[static_cast<std::size_t>(i)].text(), true});
    }
    DataOutput(session.out, session.format).write(row);
    return kExitSuccess;
}

}  // namespace tavolex::cli
