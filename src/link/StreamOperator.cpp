#include "StreamOperator.h"

namespace tavolex {

std::string TerminalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

void StreamOperator::message(std::string_view text) {
    m_messages.emplace_back(text);
    m_out << m_prefix << TerminalText(text) << '\n' << std::flush;
}

bool StreamOperator::confirm(std::string_view) {
    return false;
}

std::optional<std::filesystem::path> StreamOperator::chooseFile(const FileChoice&) {
    return m_file;
}

std::optional<std::filesystem::path> StreamOperator::chooseSaveFile(const FileChoice&) {
    return m_file;
}

}  // namespace tavolex
