#include "CommandLine.h"

#include <charconv>
#include <functional>
#include <map>

namespace tavolex::sim {

namespace {

// A whole number (see ParseNumber) within [low, high].
std::optional<unsigned long long> Number(std::string_view text, unsigned long long low,
                                         unsigned long long high) {
    const auto value = ParseNumber(text);
    if (!value || *value < low || *value > high) return std::nullopt;
    return value;
}

}  // namespace

std::string UsageText() {
    return R"(usage: tavolex-sim [options]

Simulates the temperature scanner on a pseudo-terminal and links it as comN in the
ports folder ($TAVOLEX_PORTS_DIR, else ${XDG_CONFIG_HOME:-~/.config}/tavolex/ports).
Serves until SIGINT, SIGTERM or SIGHUP, then removes its link.

  --com N          link as comN (default 1)
  --address A      answer only frames for device address A (0-255; default: every address)
  --delay MS       delay every reply by MS milliseconds
  --pace           send replies at the line's real rate (10 bits a byte at the port speed)
  --fault RULE     inject a fault; repeatable, see below
  --signals N      signal count, 0-64 (default 64)
  --probes A,B     probes plugged on ports A and B (default 32,32)
  --records N      start with N stored records, as if logged earlier (default 0)
  --capacity N     record capacity (default 2000)
  --interval MIN   recording interval in minutes, 1-60 (default 1)
  --seed S         seed of probe serial numbers, temperatures and fault draws (default 1)
  --verbose        print every request and reply on stderr
  --help           show this text

Fault RULE: KIND:CODE[:KEY=VALUE]...
  KIND   silence   no reply
         checksum  the reply's checksum is wrong
         short     only the first bytes=K bytes of the reply
         surplus   bytes=K zero bytes after the reply
         length    the reply's length field reads len=L, all else unchanged
         late      the reply comes ms=M milliseconds late
  CODE   a command code (0x0B or 11) or any
  KEYS   count=N   only the next N matching replies (default: all)
         p=P       each matching reply with probability P, 0 to 1 (default 1)
  e.g.   --fault checksum:0x0B:count=3  --fault late:0x10:ms=2500:p=0.5
         --fault short:0x0B:bytes=5     --fault length:0x0B:len=138
)";
}

CommandLineResult ParseCommandLine(std::span<const std::string_view> args) {
    SimOptions options;
    std::string error;

    // Each option that takes a value: its handler returns false when the value is bad.
    using Handler = std::function<bool(std::string_view)>;
    const std::map<std::string_view, Handler> valued = {
        {"--com",
         [&](std::string_view v) {
             const auto n = Number(v, 1, 9999);
             if (n) options.com = static_cast<int>(*n);
             return n.has_value();
         }},
        {"--address",
         [&](std::string_view v) {
             const auto n = Number(v, 0, 0xFF);
             if (n) options.model.address = static_cast<std::uint8_t>(*n);
             return n.has_value();
         }},
        {"--delay",
         [&](std::string_view v) {
             const auto n = Number(v, 0, 3'600'000);
             if (n) options.host.replyDelay = std::chrono::milliseconds(*n);
             return n.has_value();
         }},
        {"--fault",
         [&](std::string_view v) {
             std::string why;
             const auto rule = FaultRule::Parse(v, &why);
             if (rule)
                 options.faults.push_back(*rule);
             else
                 error = "--fault " + std::string(v) + ": " + why;
             return rule.has_value();
         }},
        {"--signals",
         [&](std::string_view v) {
             const auto n = Number(v, 0, kDigitalChannels);
             if (n) options.model.signalCount = static_cast<int>(*n);
             return n.has_value();
         }},
        {"--probes",
         [&](std::string_view v) {
             const auto comma = v.find(',');
             if (comma == std::string_view::npos) return false;
             const auto a = Number(v.substr(0, comma), 0, 255);
             const auto b = Number(v.substr(comma + 1), 0, 255);
             if (!a || !b) return false;
             options.model.probesOnPortA = static_cast<int>(*a);
             options.model.probesOnPortB = static_cast<int>(*b);
             return true;
         }},
        {"--records",
         [&](std::string_view v) {
             const auto n = Number(v, 0, 1'000'000);
             if (n) options.preloadRecords = static_cast<std::size_t>(*n);
             return n.has_value();
         }},
        {"--capacity",
         [&](std::string_view v) {
             const auto n = Number(v, 0, 1'000'000);
             if (n) options.model.recordCapacity = static_cast<std::size_t>(*n);
             return n.has_value();
         }},
        {"--interval",
         [&](std::string_view v) {
             const auto n = Number(v, kMinIntervalMinutes, kMaxIntervalMinutes);
             if (n) options.model.intervalMinutes = static_cast<int>(*n);
             return n.has_value();
         }},
        {"--seed",
         [&](std::string_view v) {
             const auto n = Number(v, 0, ~0ULL);
             if (n) {
                 options.model.seed = *n;
                 options.host.faultSeed = *n;
             }
             return n.has_value();
         }},
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--pace") {
            options.host.pace = true;
            continue;
        }
        if (arg == "--verbose") {
            options.verbose = true;
            continue;
        }
        // --name=value or --name value
        std::optional<std::string_view> value;
        if (const auto equals = arg.find('='); equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
            arg = arg.substr(0, equals);
        }
        const auto handler = valued.find(arg);
        if (handler == valued.end())
            return {std::nullopt, "unknown option " + std::string(args[i])};
        if (!value) {
            if (i + 1 == args.size()) return {std::nullopt, std::string(arg) + " needs a value"};
            value = args[++i];
        }
        if (!handler->second(*value)) {
            if (error.empty())
                error = "bad value for " + std::string(arg) + ": " + std::string(*value);
            return {std::nullopt, error};
        }
    }
    return {options, {}};
}

}  // namespace tavolex::sim
