// JSON text for the client's data output and for what it publishes to other systems.
#pragma once

#include <string>
#include <string_view>

namespace tavolex {

// The text as a JSON string, quotes included; UTF-8 passes through unchanged.
std::string JsonString(std::string_view text);

}  // namespace tavolex
