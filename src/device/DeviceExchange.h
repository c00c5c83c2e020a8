// What the clock, interval and ID-wipe operations share: opening the window's port with the
// one message they all give when it cannot be opened, and telling the operator why a dedicated
// exchange failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "DedicatedExchange.h"
#include "Frame.h"
#include "LinkContext.h"
#include "Operator.h"
#include "SerialPort.h"
#include "Transact.h"
#include "Translate.h"

namespace tavolex {

inline constexpr std::string_view kOpenPortFirst =
    TAVOLEX_TRANSLATABLE("DeviceExchange", "请先打开串口!");
inline constexpr std::string_view kBadCheckCode =
    TAVOLEX_TRANSLATABLE("DeviceExchange", "检验码错误!");

// Refreshes the window and opens its port with the command profile. Null when the port is
// not open: the operator has been told "请先打开串口!", or nothing more when the window
// refused a field and showed its own message.
PortHandle OpenDevicePort(SettingsSource& host, const LinkContext& link, Operator& person);

// True for a good reply; otherwise tells the operator `readFailure`, or "检验码错误!" for a
// checksum that does not match.
bool AcceptReply(const ExactReply& reply, Operator& person, std::string_view readFailure);

}  // namespace tavolex
