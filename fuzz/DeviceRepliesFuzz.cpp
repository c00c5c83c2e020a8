// The device exchanges on the fuzzer's reply: reading the clock (with the texts the window
// shows of it), setting it, reading and setting the recording interval, and wiping the IDs.
#include <cstddef>
#include <cstdint>
#include <ctime>

#include "FuzzInput.h"
#include "IdWipe.h"
#include "InstrumentClock.h"
#include "RecordingInterval.h"

using namespace tavolex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    fuzz::Bench bench;
    const std::uint8_t selector = input.byte();
    fuzz::AnswerFromInput(bench.line, input);
    const LinkContext& link = bench.link.context;

    switch (selector % 5) {
        case 0:
            if (const auto stamp = ReadDeviceClock(OneCall({bench.window, link, bench.person}))) {
                (void)stamp->fieldTexts();
                if (stamp->isRealDateTime()) (void)stamp->dateTimeText();
            }
            break;
        case 1: {
            const auto localTime = [] {
                std::tm local{};
                local.tm_year = 124;
                local.tm_mday = 29;
                local.tm_mon = 1;
                return local;
            };
            (void)SetDeviceClock(OneCall({bench.window, link, bench.person}), localTime);
            break;
        }
        case 2:
            if (const auto minutes =
                    ReadRecordingInterval(OneCall({bench.window, link, bench.person}))) {
                fuzz::Require(*minutes >= 0 && *minutes <= 255);
            }
            break;
        case 3:
            (void)SetRecordingInterval(OneCall({bench.window, link, bench.person}), selector / 5);
            break;
        default:
            (void)WipeRegisteredIds(OneCall({bench.window, link, bench.person}));
            break;
    }
    fuzz::Require(!bench.line.held());
    return 0;
}
