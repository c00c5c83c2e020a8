// The command line of tavolex-sim.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "FaultPlan.h"
#include "InstrumentModel.h"
#include "PtyHost.h"

namespace tavolex::sim {

struct SimOptions {
    int com = 1;
    ModelOptions model;
    HostOptions host;  // without its link, which follows from com
    std::vector<FaultRule> faults;
    std::size_t preloadRecords = 0;
    bool verbose = false;
    bool help = false;
};

struct CommandLineResult {
    std::optional<SimOptions> options;
    std::string error;  // set when options is none
};

// Parses the arguments that follow the program name.
CommandLineResult ParseCommandLine(std::span<const std::string_view> args);

std::string UsageText();

}  // namespace tavolex::sim
