#include "InstrumentClock.h"

#include "Commands.h"
#include "DeviceExchange.h"
#include "Translate.h"

namespace tavolex {

namespace {

constexpr const char* kReadFailed = TAVOLEX_TRANSLATABLE("InstrumentClock", "读取数据失败!");

}  // namespace

static std::optional<DeviceTimestamp> ReadDeviceClockSteps(SettingsSource& source,
                                                           const LinkContext& link,
                                                           Operator& person) {
    PortHandle port = OpenDevicePort(source, link, person);
    if (!port) return std::nullopt;
    const Bytes request = RequestFrame(source.linkSettings().addressByte(), command::kReadClock);
    const ExactReply reply =
        ExchangeExactly(*port, request, kReadClockReplySize, kClockWaitMs, link);
    port.reset();
    if (!AcceptReply(reply, person, Translate("InstrumentClock", kReadFailed))) return std::nullopt;
    return DeviceTimestamp::FromBytes(ByteView(reply.bytes).subspan(kReplyDataOffset));
}

static std::optional<LocalDateTime> SetDeviceClockSteps(SettingsSource& source,
                                                        const LinkContext& link, Operator& person,
                                                        const LocalTimeSource& localTime) {
    PortHandle port = OpenDevicePort(source, link, person);
    if (!port) return std::nullopt;
    const LocalDateTime now = LocalDateTime::FromTm(localTime());
    const Bytes request = RequestFrame(source.linkSettings().addressByte(), command::kSetClock,
                                       DeviceTimestamp::Of(now).bytes());
    const ExactReply reply =
        ExchangeExactly(*port, request, kSetClockReplySize, kClockWaitMs, link);
    port.reset();
    if (!AcceptReply(reply, person, Translate("InstrumentClock", kReadFailed))) return std::nullopt;
    return now;
}

Outcome<DeviceTimestamp> ReadDeviceClock(OperationContext& context) {
    return context.finish(
        ReadDeviceClockSteps(context.settings(), context.link(), context.person()));
}

Outcome<LocalDateTime> SetDeviceClock(OperationContext& context, const LocalTimeSource& localTime) {
    return context.finish(
        SetDeviceClockSteps(context.settings(), context.link(), context.person(), localTime));
}

}  // namespace tavolex
