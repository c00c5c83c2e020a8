// The instrument's calibration of its four low-temperature probe channels against one of three
// reference resistors. The instrument does the work; the program names the resistor and says
// whether the instrument answered.
#pragma once

#include <cstdint>
#include <optional>

#include "LinkContext.h"
#include "Operation.h"
#include "Operator.h"
#include "Transact.h"

namespace tavolex {

// The code of a reference resistor in ohms: 23 is 1, 100 is 2, 143 is 3; none for any other.
std::optional<std::uint8_t> ResistorCode(std::int32_t ohms);

// Starts the calibration with the resistor of that value and tells the operator the outcome;
// a value that names no reference resistor is refused before anything is sent. True when the
// instrument answered.
Outcome<> CalibrateLowTemperatureProbes(OperationContext& context, std::int32_t ohms);

}  // namespace tavolex
