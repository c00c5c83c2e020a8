#include "InstrumentClock.h"

#include "Commands.h"
#include "DeviceExchange.h"
#include "Translate.h"

namespace tavolex {

namespace {

constexpr const char* kReadFailed = TAVOLEX_TRANSLATABLE("InstrumentClock", "读取数据失败!");

}  // namespace

std::optional<DeviceTimestamp> ReadDeviceClock(SettingsSource& source, const LinkContext& link,
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

std::optional<LocalDateTime> SetDeviceClock(SettingsSource& source, const LinkContext& link,
                                            Operator& person, const LocalTimeSource& localTime) {
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

}  // namespace tavolex
