#include "Cli.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <variant>

#include "Commands.h"
#include "SystemPorts.h"
#include "Translate.h"

namespace tavolex::cli {

namespace {

struct OptionEntry {
    std::string_view name;
    bool takesValue;
};

constexpr OptionEntry kOptions[] = {
    {"port", true},    {"device", true}, {"baud", true},   {"address", true},
    {"format", true},  {"help", false},  {"period", true}, {"record", true},
    {"csv", true},     {"txt", true},    {"count", true},  {"duration", true},
    {"file", true},    {"yes", false},   {"now", false},   {"version", false},
#ifdef TAVOLEX_SITE_OUTPUTS
    {"metrics", true}, {"mqtt", true},
#endif
};
constexpr std::string_view kGlobalOptions[] = {"port",   "device", "baud",   "address",
                                               "format", "help",   "version"};

struct CommandEntry {
    CommandInfo info;
    std::vector<std::string_view> options;  // besides the global ones
    std::size_t minOperands;
    std::size_t maxOperands;
    int (*run)(Session&);
    // The command a group's name alone runs ("clock" is "clock get").
    bool groupDefault = false;
};

// Every command, in the order the usage lists them.
const std::vector<CommandEntry> kCommands = {
    {{"read", "", TAVOLEX_TRANSLATABLE("Cli", "one reading of every channel")}, {}, 0, 0, ReadOnce},
#ifdef TAVOLEX_SITE_OUTPUTS
    {{"log",
      "--period MS [--record SECONDS] [--txt DIR] [--csv FILE] [--count N | --duration S]\n"
      "        [--metrics [HOST:]PORT] [--mqtt mqtt://HOST[:PORT]/PREFIX]",
      TAVOLEX_TRANSLATABLE("Cli",
                           "continuous acquisition until stopped, with the data file and the "
                           "error log; --metrics serves Prometheus metrics at "
                           "http://HOST:PORT/metrics (host 127.0.0.1 unless given), --mqtt "
                           "publishes every reading and failure to a broker")},
     {"period", "record", "txt", "csv", "count", "duration", "metrics", "mqtt"},
#else
    {{"log", "--period MS [--record SECONDS] [--txt DIR] [--csv FILE] [--count N | --duration S]",
      TAVOLEX_TRANSLATABLE("Cli",
                           "continuous acquisition until stopped, with the data file and the "
                           "error log (this build has no --metrics or --mqtt)")},
     {"period", "record", "txt", "csv", "count", "duration"},
#endif
     0,
     0,
     LogContinuously},
    {{"version", "", TAVOLEX_TRANSLATABLE("Cli", "the instrument's firmware version")},
     {},
     0,
     0,
     ShowVersion},
    {{"channels set", "N",
      TAVOLEX_TRANSLATABLE("Cli", "set the number of digital channels the instrument serves")},
     {},
     1,
     1,
     SetChannels},
    {{"offsets get", "", TAVOLEX_TRANSLATABLE("Cli", "the offsets of every channel")},
     {},
     0,
     0,
     ShowOffsets,
     true},
    {{"offsets set", "pt100|digital CHANNEL VALUE",
      TAVOLEX_TRANSLATABLE(
          "Cli", "set one channel's offset (PT100 channels 0-3, digital 1-64, -10.0 to 10.0)")},
     {},
     3,
     3,
     SetOneOffset},
    {{"calibrate", "23|100|143",
      TAVOLEX_TRANSLATABLE("Cli", "low-temperature calibration against a reference resistor")},
     {},
     1,
     1,
     CalibrateLowTemperature},
    {{"clock get", "", TAVOLEX_TRANSLATABLE("Cli", "the instrument's clock")},
     {},
     0,
     0,
     ShowClock,
     true},
    {{"clock set", "--now | \"YYYY-MM-DD HH:MM:SS\"",
      TAVOLEX_TRANSLATABLE("Cli", "set the instrument's clock")},
     {"now"},
     0,
     2,
     SetClock},
    {{"interval get", "", TAVOLEX_TRANSLATABLE("Cli", "the recording interval in minutes")},
     {},
     0,
     0,
     ShowInterval,
     true},
    {{"interval set", "MINUTES",
      TAVOLEX_TRANSLATABLE("Cli", "set the recording interval (1-60 minutes)")},
     {},
     1,
     1,
     SetInterval},
    {{"ids wipe", "--yes",
      TAVOLEX_TRANSLATABLE("Cli", "forget the probe registered to every channel")},
     {"yes"},
     0,
     0,
     WipeIds},
    {{"records count", "", TAVOLEX_TRANSLATABLE("Cli", "the number of stored records")},
     {},
     0,
     0,
     CountRecords},
    {{"records download", "[--csv FILE]", TAVOLEX_TRANSLATABLE("Cli", "every stored record")},
     {"csv"},
     0,
     0,
     DownloadAllRecords},
    {{"records delete", "--yes", TAVOLEX_TRANSLATABLE("Cli", "delete every stored record")},
     {"yes"},
     0,
     0,
     DeleteRecords},
    {{"sn read", "CHANNEL",
      TAVOLEX_TRANSLATABLE("Cli",
                           "the probe registered to a channel (0-64), as a registration line")},
     {},
     1,
     1,
     ReadSn},
    {{"register semi", "A|B CHANNEL",
      TAVOLEX_TRANSLATABLE("Cli", "register the probe found on a port to a channel")},
     {},
     2,
     2,
     RegisterSemiAutomatic},
    {{"register manual", "A|B CHANNEL SN",
      TAVOLEX_TRANSLATABLE("Cli",
                           "register a probe by its serial number (28-XX-XX-XX-XX-XX-XX-XX)")},
     {},
     3,
     3,
     RegisterManual},
    {{"register auto", "",
      TAVOLEX_TRANSLATABLE("Cli", "register every probe found, fully automatically")},
     {},
     0,
     0,
     RegisterFullyAutomatic},
    {{"register", "--file FILE",
      TAVOLEX_TRANSLATABLE("Cli", "register every line of a registration file")},
     {"file"},
     0,
     0,
     RegisterFile},
    {{"pt100 params", "CHANNEL",
      TAVOLEX_TRANSLATABLE("Cli", "a PT100 channel's (1-4) calibration parameters")},
     {},
     1,
     1,
     ShowPt100Parameters},
    {{"pt100 calibrate", "zero|r1|r2 CHANNEL",
      TAVOLEX_TRANSLATABLE("Cli", "one calibration step of a PT100 channel (1-4)")},
     {},
     2,
     2,
     CalibratePt100Channel},
    {{"pt100 temps", "", TAVOLEX_TRANSLATABLE("Cli", "the four PT100 temperatures")},
     {},
     0,
     0,
     ShowPt100Temperatures},
    {{"ports", "",
      TAVOLEX_TRANSLATABLE("Cli",
                           "the serial ports, their numbers and whether they can be opened")},
     {},
     0,
     0,
     ListPorts},
};

const std::vector<CommandEntry>& Commands() {
    return kCommands;
}

std::string GlobalUsage() {
    return Translate("Cli", "Global options:\n") + std::string(PortOptionHelp()) +
           Translate(
               "Cli",
               "  --device PATH    the serial device itself, instead of a port number\n"
               "  --baud B         line speed; default 9600\n"
               "  --address A      device address; default 0\n"
               "  --format F       data on standard output as text, csv or json (one object a "
               "line)\n"
               "  --help           help for the command\n"
               "  --version        the program's version\n"
               "Exit status: 0 success, 1 the instrument answered with a failure, 2 bad usage,\n"
               "3 the port could not be opened.\n");
}

std::string Summary(const CommandEntry& entry) {
    return Translate("Cli", entry.info.summary.data());
}

std::string UsageLine(std::string_view rest) {
    return Substitute(Translate("Cli", "Usage: %1 %2"), {kProgramName, rest});
}

void PrintOverview(std::ostream& out) {
    out << UsageLine(Translate("Cli", "[global options] COMMAND [operands] [options]")) << "\n\n"
        << Translate("Cli", "Commands:") << '\n';
    for (const CommandEntry& entry : Commands()) {
        std::string line = "  " + std::string(entry.info.name);
        if (!entry.info.synopsis.empty()) line += " " + std::string(entry.info.synopsis);
        out << line << "\n      " << Summary(entry) << '\n';
    }
    out << '\n' << GlobalUsage();
}

void PrintCommandHelp(std::ostream& out, const CommandEntry& entry) {
    std::string command = Translate("Cli", "[global options]") + " " + std::string(entry.info.name);
    if (!entry.info.synopsis.empty()) command += " " + std::string(entry.info.synopsis);
    out << UsageLine(command) << "\n\n" << Summary(entry) << ".\n\n" << GlobalUsage();
}

const OptionEntry* FindOption(std::string_view name) {
    for (const OptionEntry& entry : kOptions) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

// Splits the arguments into words and options; an error text for an unknown option or a
// missing value. "--name=value" and "--name value" both work; after "--" everything is a
// word, and so is anything starting with a single dash (a negative offset).
std::variant<Arguments, std::string> Split(const std::vector<std::string_view>& arguments) {
    Arguments parsed;
    bool wordsOnly = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (wordsOnly || !argument.starts_with("--")) {
            if (argument == "-h" && !wordsOnly) {
                parsed.options["help"] = "";
                continue;
            }
            parsed.words.emplace_back(argument);
            continue;
        }
        if (argument == "--") {
            wordsOnly = true;
            continue;
        }
        std::string_view name = argument.substr(2);
        std::optional<std::string> value;
        if (const auto equals = name.find('='); equals != std::string_view::npos) {
            value = std::string(name.substr(equals + 1));
            name = name.substr(0, equals);
        }
        const OptionEntry* entry = FindOption(name);
        if (!entry) return Substitute(Translate("Cli", "unknown option --%1"), {name});
        if (entry->takesValue && !value) {
            if (i + 1 >= arguments.size())
                return Substitute(Translate("Cli", "--%1 needs a value"), {name});
            value = std::string(arguments[++i]);
        }
        if (!entry->takesValue && value)
            return Substitute(Translate("Cli", "--%1 takes no value"), {name});
        parsed.options[std::string(name)] = value.value_or("");
    }
    return parsed;
}

// The command the words name, longest name first, and how many words its name takes.
std::pair<const CommandEntry*, std::size_t> FindCommand(const std::vector<std::string>& words) {
    if (words.empty()) return {nullptr, 0};
    if (words.size() >= 2) {
        const std::string two = words[0] + " " + words[1];
        for (const CommandEntry& entry : Commands()) {
            if (entry.info.name == two) return {&entry, 2};
        }
    }
    for (const CommandEntry& entry : Commands()) {
        if (entry.info.name == words[0]) return {&entry, 1};
    }
    for (const CommandEntry& entry : Commands()) {
        if (words.size() == 1 && entry.groupDefault &&
            entry.info.name.starts_with(words[0] + " ")) {
            return {&entry, 1};
        }
    }
    return {nullptr, 0};
}

bool GroupExists(const std::string& word) {
    return std::any_of(Commands().begin(), Commands().end(), [&word](const CommandEntry& entry) {
        return entry.info.name.starts_with(word + " ");
    });
}

std::optional<std::string> CheckOptions(const Arguments& args, const CommandEntry& entry) {
    for (const auto& [name, value] : args.options) {
        const bool global = std::find(std::begin(kGlobalOptions), std::end(kGlobalOptions), name) !=
                            std::end(kGlobalOptions);
        const bool own =
            std::find(entry.options.begin(), entry.options.end(), name) != entry.options.end();
        if (!global && !own) {
            return Substitute(Translate("Cli", "--%1 does not belong to '%2'"),
                              {name, entry.info.name});
        }
    }
    if (args.has("port") && args.has("device"))
        return Translate("Cli", "give either --port or --device");
    return std::nullopt;
}

// The link settings the global options give; an error text for a bad number.
std::variant<LinkSettings, std::string> SettingsOf(const Arguments& args) {
    LinkSettings settings;
    const std::pair<std::string_view, std::int32_t*> numbers[] = {
        {"port", &settings.portNumber},
        {"baud", &settings.baudRate},
        {"address", &settings.deviceAddress}};
    for (const auto& [name, field] : numbers) {
        const std::optional<std::string> text = args.option(name);
        if (!text) continue;
        const std::optional<std::int32_t> value = WholeNumber(*text);
        if (!value) {
            return Substitute(Translate("Cli", "--%1 needs a whole number, not '%2'"),
                              {name, *text});
        }
        *field = *value;
    }
    return settings;
}

}  // namespace

std::optional<std::string> Arguments::option(std::string_view name) const {
    const auto found = options.find(name);
    if (found == options.end()) return std::nullopt;
    return found->second;
}

int Session::usage(std::string_view problem) const {
    const std::string help = std::string(kProgramName) + " " +
                             (args.words.empty() ? std::string() : args.words[0] + " ") + "--help";
    err << kProgramName << ": " << problem << '\n'
        << Substitute(Translate("Cli", "Try '%1'."), {help}) << '\n'
        << std::flush;
    return kExitUsage;
}

int ExitStatus(OutcomeKind kind) {
    switch (kind) {
        case OutcomeKind::Done:
            return kExitSuccess;
        case OutcomeKind::Refused:
            return kExitUsage;
        case OutcomeKind::PortNotOpened:
            return kExitNoPort;
        case OutcomeKind::Failed:
            break;
    }
    return kExitFailed;
}

std::optional<std::int32_t> WholeNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::vector<CommandInfo> CommandList() {
    std::vector<CommandInfo> list;
    for (const CommandEntry& entry : Commands())
        list.push_back(entry.info);
    return list;
}

int RunCli(const std::vector<std::string_view>& arguments, std::ostream& out, std::ostream& err) {
    const auto split = Split(arguments);
    const auto fail = [&err](std::string_view problem) {
        err << kProgramName << ": " << problem << '\n'
            << Substitute(Translate("Cli", "Try '%1'."), {std::string(kProgramName) + " --help"})
            << '\n';
        return kExitUsage;
    };
    if (const auto* problem = std::get_if<std::string>(&split)) return fail(*problem);
    const Arguments& args = std::get<Arguments>(split);
    if (args.has("version")) {
        out << kProgramName << ' ' << TAVOLEX_VERSION << '\n';
        return kExitSuccess;
    }

    const auto [entry, nameWords] = FindCommand(args.words);
    if (!entry) {
        if (args.has("help") || args.words.empty()) {
            PrintOverview(args.has("help") ? out : err);
            return args.has("help") ? kExitSuccess : kExitUsage;
        }
        if (GroupExists(args.words[0]) && args.words.size() >= 2) {
            return fail(Substitute(Translate("Cli", "no command '%1'"),
                                   {args.words[0] + " " + args.words[1]}));
        }
        return fail(Substitute(Translate("Cli", "no command '%1'"), {args.words[0]}));
    }
    if (args.has("help")) {
        PrintCommandHelp(out, *entry);
        return kExitSuccess;
    }
    if (const auto problem = CheckOptions(args, *entry)) return fail(*problem);
    const auto settings = SettingsOf(args);
    if (const auto* problem = std::get_if<std::string>(&settings)) return fail(*problem);
    const std::optional<Format> format = FormatNamed(args.option("format").value_or("text"));
    if (!format) return fail(Translate("Cli", "--format is text, csv or json"));

    std::unique_ptr<PortOpener> opener;
    if (const auto device = args.option("device")) {
        opener = std::make_unique<DevicePathOpener>(*device);
    } else {
        opener = MakeSystemPortOpener(PortChooser::CommandLine);
    }
    Session session(args, std::get<LinkSettings>(settings), *format, *opener, SystemClock(), out,
                    err);
    session.operands.assign(args.words.begin() + static_cast<std::ptrdiff_t>(nameWords),
                            args.words.end());
    if (session.operands.size() < entry->minOperands ||
        session.operands.size() > entry->maxOperands) {
        return session.usage(
            entry->info.synopsis.empty()
                ? Substitute(Translate("Cli", "'%1' takes no operands"), {entry->info.name})
                : Substitute(Translate("Cli", "'%1' takes %2"),
                             {entry->info.name, entry->info.synopsis}));
    }
    return entry->run(session);
}

}  // namespace tavolex::cli
