// A dedicated exchange on an open port: one request and a reply of exactly the expected length
// whose checksum matches, for the commands that check their reply themselves.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Frame.h"
#include "LinkContext.h"
#include "SerialPort.h"

namespace tavolex {

enum class ExactStatus { Good, ReadFailed, BadChecksum };

struct ExactReply {
    ExactStatus status = ExactStatus::ReadFailed;
    Bytes bytes;  // the reply, when it came whole with a matching checksum
};

// Sends the request and waits up to `timeoutMs` for `replySize` bytes. The reply is good only
// when exactly that many were queued (surplus bytes mean the line is not what was asked for),
// all of them were read, and its checksum matches.
ExactReply ExchangeExactly(SerialPort& port, ByteView request, std::size_t replySize,
                           std::uint32_t timeoutMs, const LinkContext& link);

}  // namespace tavolex
