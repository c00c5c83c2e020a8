// Registration files: one "<port>:<channel>:<serial number>" line per probe, as read-SN puts
// them on the clipboard.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "ProbeSn.h"

namespace tavolex {

// One line as it goes to the instrument: port and channel are two decimal digits each, sent
// as 10 * first + second (modulo 256) without further checks; the instrument decides.
struct FileRegistration {
    std::uint8_t port = 0;
    std::uint8_t channel = 0;
    ProbeSn sn{};
};

enum class LineError {
    Format,  // not 29 characters after trimming, or a separator missing
    Sn,      // a serial-number pair invalid, or byte 0 not 0x28
};

std::variant<FileRegistration, LineError> ParseRegistrationLine(std::string_view line);

// The lines of a registration file, read as GBK text in pieces of at most 1023 characters
// (so a longer line counts as several). A final line break adds no empty line. None when the
// file cannot be read.
std::optional<std::vector<std::string>> ReadRegistrationFile(const std::filesystem::path& path);

}  // namespace tavolex
