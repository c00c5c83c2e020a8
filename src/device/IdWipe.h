// Making the instrument forget the probe registered to every channel.
#pragma once

#include <cstddef>
#include <cstdint>

#include "LinkContext.h"
#include "Operation.h"
#include "Operator.h"
#include "Transact.h"

namespace tavolex {

inline constexpr std::size_t kWipeReplySize = 10;
inline constexpr std::uint32_t kWipeWaitMs = 4000;

// Sends the wipe and tells the operator the outcome; true when the instrument confirmed it.
// The operator's confirmation is asked for before this is called.
Outcome<> WipeRegisteredIds(OperationContext& context);

}  // namespace tavolex
