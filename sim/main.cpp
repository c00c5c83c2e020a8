// tavolex-sim: the simulated temperature scanner on a pseudo-terminal, linked as comN in the
// ports folder so that the application finds it like a real serial port.
#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "CommandLine.h"
#include "InstrumentModel.h"
#include "PortNaming.h"
#include "PtyHost.h"

using namespace tavolex;
using namespace tavolex::sim;

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const CommandLineResult parsed = ParseCommandLine(args);
    if (!parsed.options) {
        std::fprintf(stderr, "tavolex-sim: %s\n\n%s", parsed.error.c_str(), UsageText().c_str());
        return 2;
    }
    const SimOptions& options = *parsed.options;
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }

    // Blocked before the serving thread starts, so that it inherits the mask and the signals
    // reach only the sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&stopSignals, signal);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    InstrumentModel model(options.model);
    model.preloadRecords(options.preloadRecords);

    HostOptions hostOptions = options.host;
    hostOptions.linkPath = PortLinkPath(options.com);
    if (options.verbose) {
        hostOptions.trace = [](std::string_view line) {
            std::fprintf(stderr, "tavolex-sim: %.*s\n", static_cast<int>(line.size()), line.data());
        };
    }
    PtyHost host(std::move(model), hostOptions);
    for (const FaultRule& rule : options.faults) {
        host.faults().add(rule);
        std::fprintf(stderr, "tavolex-sim: fault %s\n", rule.text().c_str());
    }

    std::string error;
    if (!host.start(&error)) {
        std::fprintf(stderr, "tavolex-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("tavolex-sim: serving com%d on %s (link %s)\n", options.com,
                host.slavePath().c_str(), host.linkPath()->c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    host.stop();
    return 0;
}
