// An Operator with nobody at a screen (the command-line client, the window's screenshot run,
// the benchmarks): every message goes to a stream (standard error) as the window shows it, one
// message a line, after an optional prefix ("tavolex: "); nobody is there to answer a
// question, so a question is answered no (the client's commands that need a yes take --yes
// before they run); the file to choose is the one given beforehand, if any; and text meant for
// the clipboard is kept for the caller to print as data.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Operator.h"

namespace tavolex {

class StreamOperator final : public Operator {
public:
    explicit StreamOperator(std::ostream& out, std::string prefix = {})
        : m_out(out), m_prefix(prefix.empty() ? std::string() : prefix + ": ") {}

    void message(std::string_view text) override;
    bool confirm(std::string_view text) override;
    std::optional<std::filesystem::path> chooseFile(const FileChoice& choice) override;
    std::optional<std::filesystem::path> chooseSaveFile(const FileChoice& choice) override;
    void copyToClipboard(std::string_view text) override { m_clipboard = text; }

    void chooseFile(std::filesystem::path file) { m_file = std::move(file); }

    const std::vector<std::string>& messages() const { return m_messages; }
    const std::string& clipboard() const { return m_clipboard; }

private:
    std::ostream& m_out;
    std::string m_prefix;
    std::optional<std::filesystem::path> m_file;
    std::vector<std::string> m_messages;
    std::string m_clipboard;
};

// The text with every CR LF as a bare line feed, as a terminal or a journal wants it.
std::string TerminalText(std::string_view text);

}  // namespace tavolex
