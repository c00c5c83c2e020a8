// GBK through the system's code page 936.
#include <windows.h>

#include "Gbk.h"

namespace tavolex {

namespace {

constexpr UINT kGbkCodePage = 936;

std::wstring Wide(UINT codePage, DWORD flags, std::string_view text, bool& valid) {
    valid = true;
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) {
        valid = false;
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
    return wide;
}

// Characters beyond the 16-bit range take two UTF-16 units, and the conversion would give one
// replacement for each: make them one replacement character first. GBK holds none of them.
std::wstring OneUnitPerCharacter(const std::wstring& wide) {
    std::wstring result;
    result.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const bool high = wide[i] >= 0xD800 && wide[i] <= 0xDBFF;
        if (high && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            result += L'\xFFFD';
            ++i;
        } else {
            result += wide[i];
        }
    }
    return result;
}

std::string Narrow(UINT codePage, const std::wstring& wide, const char* replacement) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, replacement, nullptr);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), length, replacement, nullptr);
    return text;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    bool valid = false;
    // Broken UTF-8 becomes U+FFFD, which GBK cannot hold either: both end up as '?'.
    const std::wstring wide = Wide(CP_UTF8, 0, utf8, valid);
    if (!valid) return std::string(utf8);
    return Narrow(kGbkCodePage, OneUnitPerCharacter(wide), "?");
}

std::optional<std::string> GbkToUtf8(std::string_view gbk) {
    bool valid = false;
    const std::wstring wide = Wide(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk, valid);
    if (!valid) return std::nullopt;
    return Narrow(CP_UTF8, wide, nullptr);
}

}  // namespace tavolex
