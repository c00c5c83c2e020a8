#include "ChannelCount.h"

#include "Commands.h"
#include "Translate.h"

namespace tavolex {

namespace {

constexpr std::size_t kFirstValueEnd = kReplyDataOffset + 1;  // byte 7
constexpr const char* kVersionReadFailed = TAVOLEX_TRANSLATABLE("ChannelCount", "读数据失败!!!");

}  // namespace

static bool SetSignalCountSteps(SettingsSource& source, const LinkContext& link, Operator& person,
                                std::uint8_t address, std::int32_t count) {
    const Bytes payload{static_cast<std::uint8_t>(count & 0xFF)};
    const TransactResult result =
        Transact(source, link, address, payload, command::kSetSignalCount);
    if (!ReplyReceived(result, kFirstValueEnd, source, link, person)) return false;
    const int reported = result.at(kReplyDataOffset);
    const std::string shown = std::to_string(reported);
    person.message(Substitute(reported == count
                                  ? Translate("ChannelCount", "设置的信号数为%1成功!")
                                  : Translate("ChannelCount", "设置的信号数为%1失败!"),
                              {shown}));
    return reported == count;
}

static std::optional<std::string> ReadFirmwareVersionSteps(SettingsSource& source,
                                                           const LinkContext& link,
                                                           Operator& person, std::uint8_t address) {
    const TransactResult result =
        Transact(source, link, address, {}, command::kReadPt100ParametersOrVersion);
    switch (result.statusFor(kFirstValueEnd)) {
        case ReplyStatus::Refused:
            return std::nullopt;
        case ReplyStatus::PortNotOpened:
        case ReplyStatus::ReadFailed:
            person.message(Translate("ChannelCount", kVersionReadFailed));
            return std::nullopt;
        case ReplyStatus::Received:
            break;
    }
    return VersionText(result.at(kReplyDataOffset));
}

std::string VersionText(std::uint8_t versionTimesTen) {
    return "Ver" + std::to_string(versionTimesTen / 10) + "." +
           std::to_string(versionTimesTen % 10);
}

Outcome<> SetSignalCount(OperationContext& context, std::int32_t count) {
    return context.finish(SetSignalCountSteps(context.settings(), context.link(), context.person(),
                                              context.address(), count));
}

Outcome<std::string> ReadFirmwareVersion(OperationContext& context) {
    return context.finish(ReadFirmwareVersionSteps(context.settings(), context.link(),
                                                   context.person(), context.address()));
}

}  // namespace tavolex
