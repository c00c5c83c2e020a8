// The fault soak: continuous acquisition against the simulated instrument for many readings,
// with every fault kind injected into the readings' replies in random order, checked reading by
// reading against what the simulator sent: the run's success and failure counts, one data-file
// line per good reading equal to the words sent, one error-log entry per failure with its text
// and bytes, and memory that stays flat.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FaultPlan.h"

namespace tavolex::soak {

struct SoakOptions {
    std::size_t readings = 100000;
    // The share of the readings each fault kind gets; the rest are answered cleanly.
    double faultShare = 0.10;
    std::uint64_t seed = 1;
    // Where the data file and the error log are written.
    std::filesystem::path directory;
    // None: the in-process simulator on a virtual clock. Otherwise the simulator on a
    // pseudo-terminal and the real port, in real time, for this long (readings is then an
    // upper bound).
    std::optional<std::chrono::seconds> realTime;
    // Called every so many readings with the number done.
    std::function<void(std::size_t)> progress;
};

struct SoakReport {
    std::size_t readings = 0;
    // As the acquisition loop counted them, and as what the simulator sent says they must be.
    std::size_t successes = 0;
    std::size_t failures = 0;
    std::size_t expectedSuccesses = 0;
    std::size_t expectedFailures = 0;
    // Readings by the fault injected: none, then each FaultKind in order.
    std::array<std::size_t, sim::kFaultKinds + 1> injected{};
    std::size_t dataLines = 0;
    // Data-file lines lost, torn, surplus, or different from the words the simulator sent.
    std::size_t dataLinesWrong = 0;
    std::size_t logEntries = 0;
    std::size_t logEntriesWrong = 0;
    long rssAfterFirstThousandKb = 0;
    long rssAtEndKb = 0;
    std::chrono::duration<double> elapsed{};
    // The first few disagreements, for the report.
    std::vector<std::string> problems;

    long rssGrowthKb() const { return rssAtEndKb - rssAfterFirstThousandKb; }
    bool countsMatch() const {
        return successes == expectedSuccesses && failures == expectedFailures;
    }
    bool passed() const {
        return readings > 0 && countsMatch() && dataLinesWrong == 0 && logEntriesWrong == 0 &&
               problems.empty();
    }
};

SoakReport RunSoak(const SoakOptions& options);

// The report as lines of text.
std::string ReportText(const SoakReport& report);

}  // namespace tavolex::soak
