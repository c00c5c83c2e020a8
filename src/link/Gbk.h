// Conversion between the program's UTF-8 and the GBK code page of the files it shares with
// the instrument's Windows tools.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavolex {

// Characters that GBK cannot hold become '?'.
std::string Utf8ToGbk(std::string_view utf8);
// None when the bytes are not valid GBK.
std::optional<std::string> GbkToUtf8(std::string_view gbk);

}  // namespace tavolex
