#include "Trace.h"

#include "AtomicFile.h"
#include "Gbk.h"

namespace tavolex {

std::string HexBytes(ByteView bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t byte : bytes) {
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0F];
        text += ' ';
    }
    return text;
}

std::string TraceLineText(std::string_view label, ByteView bytes) {
    std::string text = "\n";
    text += label;
    text += ' ';
    return text + HexBytes(bytes);
}

void AddTraceLine(TraceTarget* target, std::string_view label, ByteView bytes) {
    if (target) target->addLine(TraceLineText(label, bytes));
}

void TraceLines::addLine(const std::string& line) {
    m_lines.push_back(line);
    if (m_lines.size() > kMaxTraceLines) m_lines.pop_front();
}

bool SaveTraceLog(const std::filesystem::path& file, const std::deque<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        for (char c : line) {
            if (c == '\n') text += '\r';
            text += c;
        }
        text += "\r\n";
    }
    return WriteFileAtomically(file, Utf8ToGbk(text));
}

}  // namespace tavolex
