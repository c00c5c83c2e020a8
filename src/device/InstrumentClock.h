// Reading the instrument's clock and setting it to the PC's local time.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>

#include "DeviceTimestamp.h"
#include "LinkContext.h"
#include "Operation.h"
#include "Operator.h"
#include "Transact.h"

namespace tavolex {

inline constexpr std::size_t kReadClockReplySize = 16;
inline constexpr std::size_t kSetClockReplySize = 10;
inline constexpr std::uint32_t kClockWaitMs = 2000;

// The PC's local time; production passes LocalTimeNow.
using LocalTimeSource = std::function<std::tm()>;

// The instrument's time; none after a failure, which the operator has been told about.
Outcome<DeviceTimestamp> ReadDeviceClock(OperationContext& context);

// Sets the instrument's clock to the local time, taken once after the port is open, and
// returns the time sent; none after a failure, which the operator has been told about.
Outcome<LocalDateTime> SetDeviceClock(OperationContext& context, const LocalTimeSource& localTime);

}  // namespace tavolex
