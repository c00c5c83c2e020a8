// The Operator of the command-line client: every message goes to a stream (standard error) as
// it is shown in the window, one message a line; nobody is there to answer a question, so the
// commands that need a yes take --yes before they run, and a question asked anyway is answered
// no; the file to choose is the one the command names; and text meant for the clipboard is
// kept for the command to print as data.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Operator.h"

namespace tavolex::cli {

class ConsoleOperator final : public Operator {
public:
    explicit ConsoleOperator(std::ostream& out) : m_out(out) {}

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
    std::optional<std::filesystem::path> m_file;
    std::vector<std::string> m_messages;
    std::string m_clipboard;
};

// The text with every CR LF as a bare line feed, as a terminal or a journal wants it.
std::string TerminalText(std::string_view text);

}  // namespace tavolex::cli
