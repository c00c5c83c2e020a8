// Telling the instrument how many signals (channels) it serves, and reading its firmware
// version. Both run one generic transaction and tell the operator the outcome.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "LinkContext.h"
#include "Operation.h"
#include "Operator.h"
#include "Transact.h"

namespace tavolex {

// Sends the low eight bits of the count and reports the count the instrument now serves: a
// success only when that equals the whole count entered. True for a success.
Outcome<> SetSignalCount(OperationContext& context, std::int32_t count);

// The version label's new text ("Ver3.2"), or none when the read failed (the operator has been
// told, or the window refused a field).
Outcome<std::string> ReadFirmwareVersion(OperationContext& context);

// "Ver" and the version byte in tenths with one decimal: 32 gives "Ver3.2".
std::string VersionText(std::uint8_t versionTimesTen);

}  // namespace tavolex
