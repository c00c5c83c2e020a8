// One request and a reply of exact length on an open port, for the commands that check their
// reply themselves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "Frame.h"
#include "LinkContext.h"
#include "SerialPort.h"

namespace tavolex {

// Writes the request and waits up to the time-out for exactly `replySize` bytes; none when a
// different number was queued at the end of the wait (a surplus byte included) or fewer could
// be read. The checksum is the caller's to verify.
std::optional<Bytes> ExchangeExact(SerialPort& port, ByteView request, std::size_t replySize,
                                   std::uint32_t timeoutMs, const LinkContext& link);

}  // namespace tavolex
