#include "DeviceExchange.h"

#include "PortWaits.h"

namespace tavolex {

PortHandle OpenDevicePort(TransactionHost& host, const LinkContext& link, Operator& person) {
    MainPort main = OpenMainPort(host, link);
    if (main.refused) return nullptr;
    if (!main.port) person.message(kOpenPortFirst);
    return std::move(main.port);
}

ExactReply ExchangeExactly(SerialPort& port, ByteView request, std::size_t replySize,
                           std::uint32_t timeoutMs, const LinkContext& link) {
    port.write(request);
    const std::uint32_t queued =
        WaitForBytes(port, static_cast<std::uint32_t>(replySize), timeoutMs, link);
    if (queued != replySize) return {};
    Bytes reply(replySize);
    if (ReadFromPort(port, reply, link) != replySize) return {};
    if (!HasValidChecksum(reply)) return {ExactStatus::BadChecksum, {}};
    return {ExactStatus::Good, std::move(reply)};
}

bool AcceptReply(const ExactReply& reply, Operator& person, std::string_view readFailure) {
    switch (reply.status) {
        case ExactStatus::Good:
            return true;
        case ExactStatus::BadChecksum:
            person.message(kBadCheckCode);
            return false;
        case ExactStatus::ReadFailed:
            break;
    }
    person.message(readFailure);
    return false;
}

}  // namespace tavolex
