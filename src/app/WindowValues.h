// The values of the main window that operations read: one field per bound control, filled
// by the window's refresh and shown again by its update.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "LinkSettings.h"

namespace tavolex {

inline constexpr int kSnBytes = 8;

struct WindowValues {
    std::int32_t portNumber = 1;           // 1000
    std::string baudRate = "9600";         // 1001, the selected text
    std::int32_t deviceAddress = 0;        // 1002
    std::int32_t signalCount = 1;          // 1003
    std::int32_t registrationChannel = 1;  // 1005
    std::int32_t snReadChannel = 1;        // 1007
    // 1016-1019, 1022-1025: the eight SN bytes as typed.
    std::array<std::string, kSnBytes> snTexts = {"0", "0", "0", "0", "0", "0", "0", "0"};
    std::int32_t registrationMode = 0;        // 1020 / 1021 / 1026
    std::int32_t probePort = -1;              // 1072 / 1073; -1 none chosen
    std::int32_t acquisitionPeriodMs = 1000;  // 1011
    std::string successCount;                 // 1012
    std::string failureCount;                 // 1013

    // The port, the speed read from the baud text, and the address.
    LinkSettings linkSettings() const;
};

// A whole number as a window field accepts it: blanks or tabs around an optional sign and
// at least one digit, nothing else, within the 32-bit range.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

// The leading decimal number of a text, 0 when there is none: how a speed is read from the
// baud-rate list.
std::int32_t LeadingNumber(std::string_view text);

}  // namespace tavolex
