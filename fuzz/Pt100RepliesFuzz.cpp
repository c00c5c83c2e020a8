// The PT100 operations on the fuzzer's reply: a channel's parameters, the three calibration
// steps and the four temperatures, with the texts the parameter window makes of them.
#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "Pt100Operations.h"

using namespace tavolex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    fuzz::Bench bench;
    const std::uint8_t selector = input.byte();
    const auto channel = static_cast<std::uint8_t>(selector >> 3);
    fuzz::AnswerFromInput(bench.line, input);
    const LinkContext& link = bench.link.context;

    switch (selector & 7) {
        case 0:
        case 1:
            if (const auto parameters =
                    ReadPt100Parameters(OneCall({bench.window, link, bench.person}), channel)) {
                (void)Pt100OffsetText(parameters->offsetTenths);
                (void)std::to_string(parameters->resistor1Ad + parameters->resistor2Ad);
            }
            break;
        case 2:
        case 3:
        case 4: {
            const auto step = static_cast<Pt100Calibration>((selector & 7) - 1);
            (void)CalibratePt100(OneCall({bench.window, link, bench.person}), step, channel);
            break;
        }
        default:
            if (const auto temperatures =
                    ReadPt100Temperatures(OneCall({bench.window, link, bench.person}))) {
                for (const TenthDegree& t : *temperatures)
                    (void)t.text();
            }
            break;
    }
    fuzz::Require(!bench.line.held());
    return 0;
}
