#include "ProbeSn.h"

#include <cstdio>

namespace tavolex {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;  // lower-case letters are refused too
}

}  // namespace

std::string SnDisplayText(const ProbeSn& sn) {
    char text[24];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X-%02X-%02X", sn[0], sn[1], sn[2],
                  sn[3], sn[4], sn[5], sn[6], sn[7]);
    return text;
}

std::string RegistrationLine(std::string_view portText, int channel, const ProbeSn& sn) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d", channel);
    return std::string(portText) + ":" + number + ":" + SnDisplayText(sn);
}

std::optional<std::uint8_t> ParseSnField(std::string_view text) {
    if (text.size() > 2) return std::nullopt;
    int value = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + digit;
    }
    return static_cast<std::uint8_t>(value);
}

std::optional<ProbeSn> ParseSnFields(const std::array<std::string, 8>& fields) {
    ProbeSn sn{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto byte = ParseSnField(fields[i]);
        if (!byte) return std::nullopt;
        sn[i] = *byte;
    }
    if (sn[0] != kProbeFamilyByte) return std::nullopt;
    return sn;
}

bool AllBytesAre(const ProbeSn& sn, std::uint8_t value) {
    for (std::uint8_t byte : sn) {
        if (byte != value) return false;
    }
    return true;
}

}  // namespace tavolex
