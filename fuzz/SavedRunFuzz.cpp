// Saved runs from the fuzzer, one target per kind of file (TAVOLEX_SAVED_RUN_KIND: 0 the CSV
// beside a data file, 1 a records CSV, 2 the plain data file). The selector byte's low bit puts
// the kind's own heading in front, so the fuzzer reaches the lines behind it; without it the
// bytes are read as they are, heading and kind included. Whatever is read must be in time
// order, no more samples than lines, and a fault must name a line the file has.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "SavedRun.h"

using namespace tavolex;

namespace {

std::string Heading() {
    switch (TAVOLEX_SAVED_RUN_KIND) {
        case 0:
            return "\xEF\xBB\xBF时间" + std::string(kChannelCount, ',') + "\r\n";
        case 1:
            return "\xEF\xBB\xBF记录条目,时间" + std::string(kChannelCount, ',') + "\r\n";
        default:
            return {};
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const bool withHeading = (input.byte() & 1) != 0;
    const ByteView rest = input.rest();
    std::string text = withHeading ? Heading() : std::string();
    text.append(rest.begin(), rest.end());
    const SavedRun run = ParseSavedRun(text, "2024年3月5日23时59分50秒.txt");

    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    fuzz::Require(run.history.size() <= lines);
    fuzz::Require(run.faultLine <= lines + 1);
    for (std::size_t i = 1; i < run.history.size(); ++i)
        fuzz::Require(run.history.timeAt(i - 1) <= run.history.timeAt(i));
    return 0;
}
