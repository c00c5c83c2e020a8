#include "IdWipe.h"

#include "Commands.h"
#include "DeviceExchange.h"
#include "Translate.h"

namespace tavolex {

static bool WipeRegisteredIdsSteps(SettingsSource& source, const LinkContext& link,
                                   Operator& person) {
    PortHandle port = OpenDevicePort(source, link, person);
    if (!port) return false;
    const Bytes request = RequestFrame(source.linkSettings().addressByte(), command::kWipeIds);
    const ExactReply reply = ExchangeExactly(*port, request, kWipeReplySize, kWipeWaitMs, link);
    port.reset();
    if (!AcceptReply(reply, person, Translate("IdWipe", "删除数据失败!"))) return false;
    person.message(Translate("IdWipe", "全部ID已删除!"));
    return true;
}

Outcome<> WipeRegisteredIds(OperationContext& context) {
    return context.finish(
        WipeRegisteredIdsSteps(context.settings(), context.link(), context.person()));
}

}  // namespace tavolex
