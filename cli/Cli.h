// The client's command line: global options, the command table, help, and the run of one
// command.
#pragma once

#include <ostream>
#include <string_view>
#include <vector>

namespace tavolex::cli {

struct CommandInfo {
    std::string_view name;      // "records download"
    std::string_view synopsis;  // operands and options after the name
    std::string_view summary;
};

// Every command, in the order the help lists them.
std::vector<CommandInfo> CommandList();

// Runs the client with the arguments after the program name; data goes to `out`, messages
// and help to `err` (help asked for goes to `out`). Returns the exit status.
int RunCli(const std::vector<std::string_view>& arguments, std::ostream& out, std::ostream& err);

}  // namespace tavolex::cli
