#include "DedicatedExchange.h"

#include "PortWaits.h"

namespace tavolex {

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

}  // namespace tavolex
