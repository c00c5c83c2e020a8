#include "DedicatedExchange.h"

#include "PortWaits.h"

namespace tavolex {

std::optional<Bytes> ExchangeExact(SerialPort& port, ByteView request, std::size_t replySize,
                                   std::uint32_t timeoutMs, const LinkContext& link) {
    port.write(request);
    const std::uint32_t queued =
        WaitForBytes(port, static_cast<std::uint32_t>(replySize), timeoutMs, link);
    if (queued != replySize) return std::nullopt;
    Bytes reply(replySize);
    if (ReadFromPort(port, reply, link) < replySize) return std::nullopt;
    return reply;
}

}  // namespace tavolex
