// Writing a whole file so that it is either written completely or not at all: the bytes go to
// a temporary file beside it, which then takes the file's name.
#pragma once

#include <filesystem>
#include <string_view>

namespace tavolex {

// Writes every byte to the descriptor, going on after interrupted and partial writes; false
// when the descriptor takes no more.
bool WriteAllBytes(int fd, std::string_view bytes);

// Appends the bytes to the file, creating it; false when they cannot all be written, and then
// the file is left as it was (a new file is removed), so no record is ever half written.
bool AppendAllOrNothing(const std::filesystem::path& file, std::string_view bytes);

// Creates or replaces the file with the bytes; false (and the file as it was) when any step
// fails.
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

}  // namespace tavolex
