#include "RegistrationFile.h"

#include <array>
#include <cstdio>

namespace tavolex {

namespace {

constexpr std::size_t kLineLength = 29;
constexpr std::size_t kMaxPieceLength = 1023;

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

std::uint8_t TwoDigitByte(std::string_view digits) {
    return static_cast<std::uint8_t>(10 * (digits[0] - '0') + (digits[1] - '0'));
}

bool SeparatorsInPlace(std::string_view line) {
    if (line[2] != ':' || line[5] != ':') return false;
    for (std::size_t dash = 8; dash < kLineLength; dash += 3) {
        if (line[dash] != '-') return false;
    }
    return true;
}

}  // namespace

std::variant<FileRegistration, LineError> ParseRegistrationLine(std::string_view raw) {
    const std::string_view line = Trimmed(raw);
    if (line.size() != kLineLength || !SeparatorsInPlace(line)) return LineError::Format;
    FileRegistration registration;
    registration.port = TwoDigitByte(line.substr(0, 2));
    registration.channel = TwoDigitByte(line.substr(3, 2));
    for (std::size_t i = 0; i < registration.sn.size(); ++i) {
        const auto byte = ParseSnField(line.substr(6 + 3 * i, 2));
        if (!byte) return LineError::Sn;
        registration.sn[i] = *byte;
    }
    if (registration.sn[0] != kProbeFamilyByte) return LineError::Sn;
    return registration;
}

std::optional<RegistrationFileReader> RegistrationFileReader::Open(
    const std::filesystem::path& path) {
    File file(std::fopen(path.string().c_str(), "rb"), &std::fclose);
    if (!file) return std::nullopt;
    return RegistrationFileReader(std::move(file));
}

std::optional<std::string> RegistrationFileReader::next() {
    std::array<char, kMaxPieceLength + 1> piece;
    // fgets takes a line, or its next 1023 bytes when it is longer.
    if (!std::fgets(piece.data(), static_cast<int>(piece.size()), m_file.get())) {
        return std::nullopt;
    }
    return std::string(piece.data());
}

}  // namespace tavolex
