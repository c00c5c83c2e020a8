// Everything one command of the client runs with: its operands and options, the link to the
// instrument, the Operator that prints the operations' messages, and where data goes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "CliLink.h"
#include "Clock.h"
#include "DataOutput.h"
#include "LinkContext.h"
#include "Operation.h"
#include "StreamOperator.h"

namespace tavolex::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailed = 1;        // the instrument answered with a failure
inline constexpr int kExitUsage = 2;         // the command line was wrong
inline constexpr int kExitNoPort = 3;        // the port could not be opened
inline constexpr int kExitSignalBase = 128;  // a download cut short: 128 + the signal

inline constexpr std::string_view kProgramName = "tavolex-cli";

// The command line split into words (command and operands) and options ("--name" without
// the dashes, mapped to its value, empty for a flag).
struct Arguments {
    std::vector<std::string> words;
    std::map<std::string, std::string, std::less<>> options;

    bool has(std::string_view name) const { return options.find(name) != options.end(); }
    std::optional<std::string> option(std::string_view name) const;
};

struct Session {
    Session(const Arguments& arguments, LinkSettings linkSettings, Format dataFormat,
            PortOpener& opener, Clock& clock, std::ostream& data, std::ostream& messages)
        : args(arguments),
          settings(linkSettings),
          format(dataFormat),
          watch(opener),
          person(messages),
          host(linkSettings),
          link{watch, clock},
          out(data),
          err(messages) {}

    // A context for one operation with the command line's settings.
    OperationContext operation() { return OperationContext(host, link, person); }
    // Tells of a bad command line on the message stream; returns kExitUsage.
    int usage(std::string_view problem) const;

    const Arguments& args;
    std::vector<std::string> operands;  // the words after the command's own
    LinkSettings settings;
    Format format;
    WatchedOpener watch;
    StreamOperator person;
    FixedSettings host;
    LinkContext link;
    std::ostream& out;
    std::ostream& err;
};

// The exit status for an operation's outcome.
int ExitStatus(OutcomeKind kind);

// A whole number in the 32-bit range and nothing else; none for any other text.
std::optional<std::int32_t> WholeNumber(std::string_view text);

}  // namespace tavolex::cli
