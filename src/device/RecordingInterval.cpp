#include "RecordingInterval.h"

#include "Commands.h"
#include "DeviceExchange.h"
#include "Translate.h"

namespace tavolex {

std::optional<int> ReadRecordingInterval(SettingsSource& source, const LinkContext& link,
                                         Operator& person) {
    PortHandle port = OpenDevicePort(source, link, person);
    if (!port) return std::nullopt;
    const Bytes request =
        RequestFrame(source.linkSettings().addressByte(), command::kReadRecordingInterval);
    const ExactReply reply =
        ExchangeExactly(*port, request, kIntervalReplySize, kIntervalWaitMs, link);
    port.reset();
    if (!AcceptReply(reply, person, Translate("RecordingInterval", "读取失败!")))
        return std::nullopt;
    return reply.bytes[kReplyDataOffset];
}

bool SetRecordingInterval(SettingsSource& source, const LinkContext& link, Operator& person,
                          std::int32_t minutes) {
    PortHandle port = OpenDevicePort(source, link, person);
    if (!port) return false;
    if (minutes < kMinRecordingMinutes || minutes > kMaxRecordingMinutes) {
        port.reset();
        person.message(Translate("RecordingInterval", kIntervalRange.data()));
        return false;
    }
    const Bytes payload{static_cast<std::uint8_t>(minutes)};
    const Bytes request =
        RequestFrame(source.linkSettings().addressByte(), command::kSetRecordingInterval, payload);
    const ExactReply reply =
        ExchangeExactly(*port, request, kIntervalReplySize, kIntervalWaitMs, link);
    port.reset();
    if (!AcceptReply(reply, person, Translate("RecordingInterval", "设置失败!"))) return false;
    person.message(Translate("RecordingInterval", "设置成功!"));
    return true;
}

}  // namespace tavolex
