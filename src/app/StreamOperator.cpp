#include "StreamOperator.h"

namespace tavolex {

void StreamOperator::message(std::string_view text) {
    m_out << m_caption << ": " << text << '\n' << std::flush;
}

bool StreamOperator::confirm(std::string_view text) {
    m_out << m_caption << ": " << text << " -> 取消\n" << std::flush;
    return false;
}

std::optional<std::filesystem::path> StreamOperator::chooseFile(const FileChoice&) {
    return std::nullopt;
}

std::optional<std::filesystem::path> StreamOperator::chooseSaveFile(const FileChoice&) {
    return std::nullopt;
}

void StreamOperator::copyToClipboard(std::string_view text) {
    m_out << m_caption << ": clipboard <- " << text << '\n' << std::flush;
}

}  // namespace tavolex
