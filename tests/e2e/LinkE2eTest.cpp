// The link on the real termios port against the simulated instrument on a pseudo-terminal,
// paced at the line rate as a real instrument sends.
#include <chrono>

#include "ReadTemperatures.h"
#include "SimulatorFixture.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;

class LinkE2eTest : public testing::SimulatorTest {};

// The acquisition's time-outs leave room for a whole reading at the line rate.
TEST_F(LinkE2eTest, ReadingPacedAtTheRealLineRateStillCompletes) {
    sim::HostOptions paced;
    paced.pace = true;
    startSimulator({}, paced);
    PortHandle port = open(PortProfile::Acquisition);
    TemperatureReply reply;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(ReadTemperatures(*port, 0, reply, link));
    // 9 + 136 bytes at 9600 baud take about 151 ms on the line.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 140ms);
    EXPECT_EQ(reply.wordCount(), 68);
}

}  // namespace
}  // namespace tavolex
