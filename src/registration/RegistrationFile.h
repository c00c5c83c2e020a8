// Registration files: one "<port>:<channel>:<serial number>" line per probe, as read-SN puts
// them on the clipboard.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>

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

// Parses one line as read from the file. Only ASCII belongs in a good line, so the bytes are
// taken as they are: a line with other characters is measured in the file's own bytes.
std::variant<FileRegistration, LineError> ParseRegistrationLine(std::string_view line);

// Reads a registration file one line at a time, so that a run stops at its first bad line
// without reading the rest (a huge file, or a device that never ends). A line is taken in
// pieces of at most 1023 bytes, so a longer line counts as several; a final line break adds no
// empty line. The bytes are the file's own (GBK text): nothing is converted.
class RegistrationFileReader {
public:
    // None when the file cannot be opened.
    static std::optional<RegistrationFileReader> Open(const std::filesystem::path& path);

    // The next line, with its line break; none at the end of the file.
    std::optional<std::string> next();

private:
    using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
    explicit RegistrationFileReader(File file) : m_file(std::move(file)) {}

    File m_file;
};

}  // namespace tavolex
