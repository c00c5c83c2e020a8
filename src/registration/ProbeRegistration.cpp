#include "ProbeRegistration.h"

#include <cstdio>
#include <limits>
#include <string>

#include "Commands.h"
#include "Translate.h"

namespace tavolex {

namespace {

constexpr std::size_t kStatusEnd = 8;  // byte 7
constexpr std::size_t kSnEnd = 16;     // bytes 8 to 15

ProbeSn SnOf(const TransactResult& result) {
    ProbeSn sn{};
    for (std::size_t i = 0; i < sn.size(); ++i)
        sn[i] = result.at(8 + i);
    return sn;
}

// The registration channel after a success: one further on, staying at the largest channel
// number the window accepts rather than wrapping past it.
std::int32_t ChannelAfter(std::int32_t channel) {
    return channel == std::numeric_limits<std::int32_t>::max() ? channel : channel + 1;
}

std::uint8_t ChannelByte(std::int32_t channel) {
    return static_cast<std::uint8_t>(channel & 0xFF);
}

RegisterOutcome SemiAutomatic(SettingsSource& source, const LinkContext& link, Operator& person,
                              std::uint8_t address, const RegistrationInputs& inputs) {
    const Bytes payload{static_cast<std::uint8_t>(inputs.port), ChannelByte(inputs.channel)};
    const TransactResult result =
        TransactForRegistration(source, link, address, payload, command::kRegisterSemiAutomatic);
    if (!ReplyReceived(result, kSnEnd, source, link, person)) return {};
    const ProbeSn sn = SnOf(result);
    if (AllBytesAre(sn, 0xFF)) {
        person.message(Translate("ProbeRegistration", "注册错误!SN号无效!"));
        return {};
    }
    if (AllBytesAre(sn, 0x00)) {
        person.message(Translate("ProbeRegistration", "注册错误!通道号无效!"));
        return {};
    }
    const std::uint8_t foundOn = result.at(7);
    const char* portText = foundOn == 1 ? "A" : foundOn == 2 ? "B" : "";
    person.message(Translate("ProbeRegistration", "注册成功!") + "\r\n" +
                   Substitute(Translate("ProbeRegistration", "SN号为:端口%1通道号%2;%3"),
                              {portText, std::to_string(inputs.channel), SnDisplayText(sn)}));
    return {true, ChannelAfter(inputs.channel)};
}

RegisterOutcome Manual(SettingsSource& source, const LinkContext& link, Operator& person,
                       std::uint8_t address, const RegistrationInputs& inputs) {
    const std::optional<ProbeSn> sn = ParseSnFields(inputs.snTexts);
    if (!sn) {
        person.message(Translate("ProbeRegistration", "SN号输入格式错误!"));
        return {};
    }
    const Bytes payload = ManualRegistrationPayload(static_cast<std::uint8_t>(inputs.port),
                                                    ChannelByte(inputs.channel), *sn);
    const TransactResult result =
        TransactForRegistration(source, link, address, payload, command::kRegisterManual);
    if (!ReplyReceived(result, kStatusEnd, source, link, person)) return {};
    const std::uint8_t status = result.at(7);
    if (status == 0) {
        person.message(Translate("ProbeRegistration", "注册成功!"));
        return {true, ChannelAfter(inputs.channel)};
    }
    if (const auto refusal = RefusalMessage(status)) person.message(*refusal);
    return {true, std::nullopt};
}

RegisterOutcome FullyAutomatic(SettingsSource& source, const LinkContext& link, Operator& person,
                               std::uint8_t address) {
    const TransactResult result =
        TransactForRegistration(source, link, address, {}, command::kRegisterFullyAutomatic);
    if (!ReplyReceived(result, kStatusEnd, source, link, person)) return {};
    person.message(Substitute(Translate("ProbeRegistration", "共搜索到的探头数为%1"),
                              {std::to_string(result.at(7))}));
    return {true, std::nullopt};
}

}  // namespace

Outcome<RegisterOutcome> RegisterProbe(OperationContext& context,
                                       const RegistrationInputs& inputs) {
    SettingsSource& source = context.settings();
    const std::uint8_t address = context.address();
    RegisterOutcome outcome;
    switch (inputs.mode) {
        case RegistrationMode::Manual:
            outcome = Manual(source, context.link(), context.person(), address, inputs);
            break;
        case RegistrationMode::FullyAutomatic:
            outcome = FullyAutomatic(source, context.link(), context.person(), address);
            break;
        case RegistrationMode::SemiAutomatic:
            outcome = SemiAutomatic(source, context.link(), context.person(), address, inputs);
            break;
    }
    // Fully automatic registration has no channel to go on to: its answer is the success.
    const bool registered = inputs.mode == RegistrationMode::FullyAutomatic
                                ? outcome.updateWindow
                                : outcome.nextChannel.has_value();
    return context.finish(registered, outcome);
}

Bytes ManualRegistrationPayload(std::uint8_t port, std::uint8_t channel, const ProbeSn& sn) {
    Bytes payload;
    payload.reserve(2 + sn.size());
    payload.push_back(port);
    payload.push_back(channel);
    for (std::uint8_t byte : sn)
        payload.push_back(byte);
    return payload;
}

std::optional<std::string> RefusalMessage(std::uint8_t status) {
    switch (status) {
        case 1:
            return Translate("ProbeRegistration", "通道过大!");
        case 2:
            return Translate("ProbeRegistration", "SN无效!");
        default:
            return std::nullopt;
    }
}

std::optional<std::string> SnReadChannelRefusal(std::int32_t channel) {
    if (channel >= kMinSnReadChannel && channel <= kMaxSnReadChannel) return std::nullopt;
    return Translate("ProbeRegistration", "请输入一个介于 0 和 64 之间的整数。");
}

std::int32_t NextSnReadChannel(std::int32_t channel) {
    if (channel == 0) return 0;
    return channel + 1 >= 64 ? 1 : channel + 1;
}

static std::optional<ReadSnOutcome> ReadProbeSnSteps(SettingsSource& source,
                                                     const LinkContext& link, Operator& person,
                                                     std::uint8_t address, std::int32_t channel) {
    const Bytes payload{ChannelByte(channel)};
    const TransactResult result = Transact(source, link, address, payload, command::kReadProbeSn);
    if (!ReplyReceived(result, kSnEnd, source, link, person)) return std::nullopt;
    const ProbePort port = result.at(7) == 1 ? ProbePort::A : ProbePort::B;
    const std::string line =
        RegistrationLine(port == ProbePort::A ? "01" : "02", channel, SnOf(result));
    person.copyToClipboard(line);
    person.message(Substitute(
        Translate("ProbeRegistration", "%1\n数字已送到剪贴板,按Ctrl+V粘贴ID号"), {line}));
    return ReadSnOutcome{port, NextSnReadChannel(channel)};
}

Outcome<ReadSnOutcome> ReadProbeSn(OperationContext& context, std::int32_t channel) {
    return context.finish(ReadProbeSnSteps(context.settings(), context.link(), context.person(),
                                           context.address(), channel));
}

}  // namespace tavolex
