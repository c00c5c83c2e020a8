// A probe's 8-byte serial number and its text forms.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavolex {

using ProbeSn = std::array<std::uint8_t, 8>;

// Byte 0 of every serial number the program sends.
inline constexpr std::uint8_t kProbeFamilyByte = 0x28;

// The port a probe is plugged into; the wire carries A as 1 and B as 2.
enum class ProbePort : std::uint8_t { A = 1, B = 2 };

enum class RegistrationMode { SemiAutomatic = 0, Manual = 1, FullyAutomatic = 2 };

// "28-FF-..." : each byte as two upper-case hexadecimal digits, joined by "-".
std::string SnDisplayText(const ProbeSn& sn);

// "<port>:<channel, at least two digits>:<display form>", the clipboard and file line form.
std::string RegistrationLine(std::string_view portText, int channel, const ProbeSn& sn);

// One serial-number entry field: zero to two upper-case hexadecimal digits (empty is 0).
std::optional<std::uint8_t> ParseSnField(std::string_view text);

// The eight entry fields as a serial number the program may send: all valid, byte 0 0x28.
std::optional<ProbeSn> ParseSnFields(const std::array<std::string, 8>& fields);

bool AllBytesAre(const ProbeSn& sn, std::uint8_t value);

}  // namespace tavolex
