// The offset exchanges on the fuzzer's reply: reading all 68 offsets into the channel lists'
// texts, and setting one, with the typed value also taken from the input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "Offsets.h"

using namespace tavolex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    fuzz::Bench bench;
    const std::uint8_t selector = input.byte();
    const LinkContext& link = bench.link.context;

    if ((selector & 1) == 0) {
        fuzz::AnswerFromInput(bench.line, input);
        (void)ReadAllOffsets(OneCall({bench.window, link, bench.person}), false);
    } else {
        const ByteView typed = input.chunk();
        OffsetSetting setting;
        setting.probeType = ProbeTypeOfIndex((selector >> 1) & 3);
        setting.channelIndex = (selector >> 3) - 1;
        setting.valueText.assign(typed.begin(), typed.end());
        const std::optional<int> tenths = OffsetTenths(setting.valueText);
        fuzz::Require(!tenths || (*tenths >= -kMaxOffsetTenths && *tenths <= kMaxOffsetTenths));
        fuzz::AnswerFromInput(bench.line, input);
        (void)SetOffset(OneCall({bench.window, link, bench.person}), false, setting);
    }
    fuzz::Require(!bench.line.held());
    return 0;
}
