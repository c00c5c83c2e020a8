#include "ConsoleOperator.h"

namespace tavolex::cli {

std::string TerminalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

void ConsoleOperator::message(std::string_view text) {
    m_messages.emplace_back(text);
    m_out << TerminalText(text) << '\n' << std::flush;
}

bool ConsoleOperator::confirm(std::string_view) {
    return false;
}

std::optional<std::filesystem::path> ConsoleOperator::chooseFile(const FileChoice&) {
    return m_file;
}

std::optional<std::filesystem::path> ConsoleOperator::chooseSaveFile(const FileChoice&) {
    return m_file;
}

}  // namespace tavolex::cli
