// The on-screen trace of generic transactions: one hexadecimal line per request and reply.
#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <string>
#include <string_view>

#include "Frame.h"

namespace tavolex {

inline constexpr std::string_view kTraceWritten = "写";
inline constexpr std::string_view kTraceRead = "读";

// Receives trace lines; the trace is on exactly while a target is set.
class TraceTarget {
public:
    virtual ~TraceTarget() = default;
    virtual void addLine(const std::string& line) = 0;
};

// "xx " for every byte: two lower-case hexadecimal digits and a space.
std::string HexBytes(ByteView bytes);

// "\n<label> " followed by HexBytes.
std::string TraceLineText(std::string_view label, ByteView bytes);

// Adds the line to the target; does nothing without one.
void AddTraceLine(TraceTarget* target, std::string_view label, ByteView bytes);

// The lines of a trace list: unsorted, capped at kMaxTraceLines by dropping the oldest, with
// the newest line as the top visible one. A list box shows it.
class TraceLines : public TraceTarget {
public:
    static constexpr std::size_t kMaxTraceLines = 900;

    void addLine(const std::string& line) override;

    const std::deque<std::string>& lines() const { return m_lines; }
    // Index of the line scrolled to the top: the newest one.
    std::size_t topIndex() const { return m_lines.empty() ? 0 : m_lines.size() - 1; }

    void clear() { m_lines.clear(); }

private:
    std::deque<std::string> m_lines;
};

// Writes the lines to the file in GBK, each followed by a line end, with CR LF for every line
// break as the log's Windows readers expect; all or nothing. False when it cannot be written.
bool SaveTraceLog(const std::filesystem::path& file, const std::deque<std::string>& lines);

}  // namespace tavolex
