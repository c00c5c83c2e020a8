#include "RecordingInterval.h"

#include "Commands.h"
#include "DeviceExchange.h"
#include "Translate.h"

namespace tavolex {

static std::optional<int> ReadRecordingIntervalSteps(SettingsSource& source,
                                                     const LinkContext& link, Operator& person) {
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

static bool SetRecordingIntervalSteps(SettingsSource& source, const LinkContext& link,
                                      Operator& person, std::int32_t minutes) {
    PortHandle port = OpenDevicePort(source, link, person);
    if (!port) return false;
    if (const std::optional<std::string> refusal = IntervalRefusal(minutes)) {
        port.reset();
        person.message(*refusal);
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

std::optional<std::string> IntervalRefusal(std::int32_t minutes) {
    if (minutes >= kMinRecordingMinutes && minutes <= kMaxRecordingMinutes) return std::nullopt;
    return Translate("RecordingInterval", kIntervalRange.data());
}

Outcome<int> ReadRecordingInterval(OperationContext& context) {
    return context.finish(
        ReadRecordingIntervalSteps(context.settings(), context.link(), context.person()));
}

Outcome<> SetRecordingInterval(OperationContext& context, std::int32_t minutes) {
    return context.finish(
        SetRecordingIntervalSteps(context.settings(), context.link(), context.person(), minutes));
}

}  // namespace tavolex
