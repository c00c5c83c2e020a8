// The callers of the generic transaction on the fuzzer's reply: the three registration modes,
// reading a channel's serial number, the channel count, the firmware version and the
// low-temperature calibration. The selector byte picks the operation (low three bits) and
// its argument (the rest).
#include <cstddef>
#include <cstdint>

#include "ChannelCount.h"
#include "FuzzInput.h"
#include "ProbeCalibration.h"
#include "ProbeRegistration.h"

using namespace tavolex;

namespace {

RegistrationInputs Registration(RegistrationMode mode, std::uint8_t argument) {
    RegistrationInputs inputs;
    inputs.mode = mode;
    inputs.port = argument & 1 ? ProbePort::B : ProbePort::A;
    inputs.channel = argument;
    inputs.snTexts = {"28", "FF", "0", "A", "", "7C", "1", "99"};
    return inputs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    fuzz::Bench bench;
    const std::uint8_t selector = input.byte();
    const auto argument = static_cast<std::uint8_t>(selector >> 3);
    fuzz::AnswerFromInput(bench.line, input);
    const LinkContext& link = bench.link.context;

    switch (selector & 7) {
        case 0:
            (void)RegisterProbe(OneCall({bench.window, link, bench.person}),
                                Registration(RegistrationMode::SemiAutomatic, argument));
            break;
        case 1:
            (void)RegisterProbe(OneCall({bench.window, link, bench.person}),
                                Registration(RegistrationMode::Manual, argument));
            break;
        case 2:
            (void)RegisterProbe(OneCall({bench.window, link, bench.person}),
                                Registration(RegistrationMode::FullyAutomatic, argument));
            break;
        case 3:
            (void)ReadProbeSn(OneCall({bench.window, link, bench.person}), argument);
            break;
        case 4:
            SetSignalCount(OneCall({bench.window, link, bench.person}), argument);
            break;
        case 5:
            (void)ReadFirmwareVersion(OneCall({bench.window, link, bench.person}));
            break;
        default: {
            constexpr std::int32_t kResistors[] = {23, 100, 143, 0};
            CalibrateLowTemperatureProbes(OneCall({bench.window, link, bench.person}),
                                          kResistors[argument & 3]);
            break;
        }
    }
    // Whatever came back, the port was given back and the operator heard about it.
    fuzz::Require(!bench.line.held());
    return 0;
}
