#include "DeviceExchange.h"

#include "PortOpenFailure.h"
#include "Translate.h"

namespace tavolex {

PortHandle OpenDevicePort(SettingsSource& host, const LinkContext& link, Operator& person) {
    MainPort main = OpenMainPort(host, link);
    if (main.refused) return nullptr;
    if (!main.port)
        person.message(OpenFailureMessage(Translate("DeviceExchange", kOpenPortFirst.data()),
                                          link.ports, host.linkSettings()));
    return std::move(main.port);
}

bool AcceptReply(const ExactReply& reply, Operator& person, std::string_view readFailure) {
    switch (reply.status) {
        case ExactStatus::Good:
            return true;
        case ExactStatus::BadChecksum:
            person.message(Translate("DeviceExchange", kBadCheckCode.data()));
            return false;
        case ExactStatus::ReadFailed:
            break;
    }
    person.message(readFailure);
    return false;
}

}  // namespace tavolex
