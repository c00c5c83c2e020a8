// The trace: each frame's bytes as a line, and the bounded list the window shows.
#include "Trace.h"

#include <gtest/gtest.h>

#include "Frame.h"

namespace tavolex {
namespace {

// The list keeps the newest 900 lines, the newest on top.
TEST(Trace, LineHasLabelAndLowerCaseHexBytesAndTheListKeepsTheNewest900) {
    EXPECT_EQ(TraceLineText(kTraceWritten, RequestFrame(0x01, 0x07)),
              "\n写 14 3f 00 01 07 00 00 ff b8 ");
    EXPECT_EQ(TraceLineText(kTraceRead, {}), "\n读 ");
    TraceLines lines;
    for (int i = 0; i < 901; ++i)
        lines.addLine(std::to_string(i));
    ASSERT_EQ(lines.lines().size(), 900u);
    EXPECT_EQ(lines.lines().front(), "1");
    EXPECT_EQ(lines.lines()[lines.topIndex()], "900");
}

}  // namespace
}  // namespace tavolex
