// A short fault soak: continuous acquisition on the virtual clock against the in-process
// simulator, every fault kind on a tenth of the readings; no reading, line or log entry may
// differ from what the simulator sent.
#include <gtest/gtest.h>

#include "Soak.h"
#include "TemporaryDirectory.h"

namespace tavolex {
namespace {

TEST(SoakTest, EveryFaultKindCostsExactlyItsOwnReadingAndNothingElse) {
    testing::TemporaryDirectory directory;
    soak::SoakOptions options;
    options.readings = 2000;
    options.seed = 7;
    options.directory = directory.path();
    const soak::SoakReport report = soak::RunSoak(options);

    EXPECT_TRUE(report.passed()) << soak::ReportText(report);
    EXPECT_EQ(report.readings, 2000u);
    for (std::size_t injected : report.injected)
        EXPECT_GE(injected, 200u);
    EXPECT_EQ(report.dataLines, report.successes);
    EXPECT_EQ(report.logEntries, report.failures);
    // Surplus bytes and late replies within the wait still give their reading.
    EXPECT_GT(report.successes, report.injected[0]);
}

}  // namespace
}  // namespace tavolex
