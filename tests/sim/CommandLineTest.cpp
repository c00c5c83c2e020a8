#include "CommandLine.h"

#include <gtest/gtest.h>

namespace tavolex::sim {
namespace {

using namespace std::chrono_literals;

CommandLineResult Parse(std::string_view line) {
    std::vector<std::string_view> args;
    while (!line.empty()) {
        const auto space = line.find(' ');
        args.push_back(line.substr(0, space));
        line = space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);
    }
    return ParseCommandLine(args);
}

TEST(CommandLine, ReadsEveryOptionAndRefusesBadOnes) {
    const auto parsed = Parse(
        "--com 3 --address=0x2C --delay 40 --pace --fault short:0x0B:bytes=5 "
        "--fault silence:any:p=0.1 --signals 10 --records 5 --interval 15 --seed 9 --probes 10,15");
    ASSERT_TRUE(parsed.options) << parsed.error;
    const SimOptions& o = *parsed.options;
    EXPECT_EQ(o.com, 3);
    EXPECT_EQ(o.model.address, 0x2C);
    EXPECT_EQ(o.host.replyDelay, 40ms);
    EXPECT_TRUE(o.host.pace);
    EXPECT_EQ(o.faults.size(), 2u);
    EXPECT_EQ(o.model.probesOnPortB, 15);

    for (std::string_view bad : {"--com 0", "--signals 65", "--interval 61", "--fault short:0x0B",
                                 "--com", "--frobnicate", "com1", "--probes 10"}) {
        const auto refused = Parse(bad);
        EXPECT_FALSE(refused.options) << bad;
        EXPECT_FALSE(refused.error.empty()) << bad;
    }
}

}  // namespace
}  // namespace tavolex::sim
