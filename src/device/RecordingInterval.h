// The interval, in whole minutes, at which the instrument records temperatures by itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "LinkContext.h"
#include "Operation.h"
#include "Operator.h"
#include "Transact.h"
#include "Translate.h"

namespace tavolex {

inline constexpr std::int32_t kMinRecordingMinutes = 1;
inline constexpr std::int32_t kMaxRecordingMinutes = 60;
inline constexpr std::size_t kIntervalReplySize = 10;
inline constexpr std::uint32_t kIntervalWaitMs = 1000;
inline constexpr std::string_view kIntervalRange =
    TAVOLEX_TRANSLATABLE("RecordingInterval", "输入的数值必须为1-60之间的整数");

// The message for an interval outside 1 to 60 minutes; none for one inside. The window opens
// the port before it looks; the client looks before it opens.
std::optional<std::string> IntervalRefusal(std::int32_t minutes);

// The interval the instrument reports, whatever byte it is (0 to 255); none after a failure,
// which the operator has been told about.
Outcome<int> ReadRecordingInterval(OperationContext& context);

// Sends the interval when it lies in 1 to 60 and tells the operator the outcome; true when
// the instrument took it. The port is opened before the value is looked at.
Outcome<> SetRecordingInterval(OperationContext& context, std::int32_t minutes);

}  // namespace tavolex
