// The data a command prints on standard output, as rows of named fields in one of three
// formats: text (tab-separated, for people and for cut/awk), CSV (a heading line, then one
// line a row) or JSON (one object a line).
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "JsonText.h"

namespace tavolex::cli {

enum class Format { Text, Csv, Json };

// "text", "csv", "json"; none for any other name.
std::optional<Format> FormatNamed(std::string_view name);

struct Field {
    std::string name;
    std::string text;
    // A number (or a truth value, "true" or "false"): JSON writes it without quotes, and an
    // empty one as null.
    bool number = false;
};
using Row = std::vector<Field>;

class DataOutput {
public:
    // `vertical`: text shows each field of a row on a line of its own, "name<TAB>text", for
    // commands that print one row of many fields.
    DataOutput(std::ostream& out, Format format, bool vertical = false)
        : m_out(out), m_format(format), m_vertical(vertical) {}

    // Writes the row and flushes it, so that a reader of a pipe sees each row at once. CSV
    // writes the heading from the first row's names.
    void write(const Row& row);

private:
    std::ostream& m_out;
    Format m_format;
    bool m_vertical;
    bool m_headingWritten = false;
};

// The keys of the channels in every format, stable for scripts whatever the language:
// "pt100_1" to "pt100_4" and "ch1" to "ch64".
inline constexpr const char* kPt100KeyPrefix = "pt100_";
inline constexpr const char* kDigitalKeyPrefix = "ch";

// The key of a channel numbered as the words of a temperature reply (Channels.h).
std::string ChannelKey(int channel);

}  // namespace tavolex::cli
