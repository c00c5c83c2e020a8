// What the clock, interval and ID-wipe operations share: opening the window's port with the
// one message they all give when it cannot be opened, and the exchange that takes only a
// reply of exactly the expected length with a matching checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Frame.h"
#include "LinkContext.h"
#include "Operator.h"
#include "SerialPort.h"
#include "Transact.h"

namespace tavolex {

inline constexpr std::string_view kOpenPortFirst = "请先打开串口!";
inline constexpr std::string_view kBadCheckCode = "检验码错误!";

// Refreshes the window and opens its port with the command profile. Null when the port is
// not open: the operator has been told "请先打开串口!", or nothing more when the window
// refused a field and showed its own message.
PortHandle OpenDevicePort(TransactionHost& host, const LinkContext& link, Operator& person);

enum class ExactStatus { Good, ReadFailed, BadChecksum };

struct ExactReply {
    ExactStatus status = ExactStatus::ReadFailed;
    Bytes bytes;  // the reply, when it came whole
};

// Sends the request and waits up to `timeoutMs` for `replySize` bytes. The reply is good only
// when exactly that many were queued (surplus bytes mean the line is not what was asked for),
// all of them were read, and its checksum matches.
ExactReply ExchangeExactly(SerialPort& port, ByteView request, std::size_t replySize,
                           std::uint32_t timeoutMs, const LinkContext& link);

// True for a good reply; otherwise tells the operator `readFailure`, or "检验码错误!" for a
// checksum that does not match.
bool AcceptReply(const ExactReply& reply, Operator& person, std::string_view readFailure);

}  // namespace tavolex
