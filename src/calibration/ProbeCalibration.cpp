#include "ProbeCalibration.h"

#include "Commands.h"
#include "Translate.h"

namespace tavolex {

std::optional<std::uint8_t> ResistorCode(std::int32_t ohms) {
    switch (ohms) {
        case 23:
            return 1;
        case 100:
            return 2;
        case 143:
            return 3;
        default:
            return std::nullopt;
    }
}

static bool CalibrateLowTemperatureProbesSteps(SettingsSource& source, const LinkContext& link,
                                               Operator& person, std::uint8_t address,
                                               std::int32_t ohms) {
    const std::optional<std::uint8_t> code = ResistorCode(ohms);
    if (!code) {
        person.message(Translate("ProbeCalibration", "请先选择电阻!"));
        return false;
    }
    const Bytes payload{*code};
    const TransactResult result = Transact(source, link, address, payload, command::kCalibrate);
    // Any reply counts as done; its content is not read.
    switch (result.statusFor(kFrameOverhead)) {
        case ReplyStatus::Refused:
            return false;
        case ReplyStatus::PortNotOpened:
        case ReplyStatus::ReadFailed:
            person.message(Translate("ProbeCalibration", "读数据失败!!!"));
            return false;
        case ReplyStatus::Received:
            break;
    }
    person.message(Translate("ProbeCalibration", "校机成功!!!"));
    return true;
}

Outcome<> CalibrateLowTemperatureProbes(OperationContext& context, std::int32_t ohms) {
    return context.finish(CalibrateLowTemperatureProbesSteps(
        context.settings(), context.link(), context.person(), context.address(), ohms));
}

}  // namespace tavolex
