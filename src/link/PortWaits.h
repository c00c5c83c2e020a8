// Waiting for reply bytes and reading them within the port profile's time-outs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "LinkContext.h"
#include "SerialPort.h"

namespace tavolex {

// Waits up to `left` for more than `known` queued bytes, or until the link is stopping.
void WaitForMore(SerialPort& port, std::size_t known, Clock::Duration left,
                 const LinkContext& link);

// Waits until `wanted` bytes (its low 16 bits) are queued or `timeoutMs` has passed, and
// returns the number queued at the last look, which may exceed `wanted`. Looks at least once;
// returns the moment the count is reached, and ends early when the context is stopping.
std::uint32_t WaitForBytes(SerialPort& port, std::uint32_t wanted, std::uint32_t timeoutMs,
                           const LinkContext& link);

// Reads into.size() bytes, waiting no longer than the port profile's read time-outs allow;
// returns how many arrived.
std::size_t ReadFromPort(SerialPort& port, std::span<std::uint8_t> into, const LinkContext& link);

}  // namespace tavolex
