// The read-temperatures exchange on the fuzzer's reply, as the window and the acquisition
// worker take it: the channel lists, the data-file and CSV lines of a good reading, the
// error-log entry of a bad one.
#include <cstddef>
#include <cstdint>
#include <ctime>

#include "ChannelLists.h"
#include "CsvFile.h"
#include "DataFile.h"
#include "ErrorLog.h"
#include "FuzzInput.h"
#include "Gbk.h"
#include "ReadTemperatures.h"

using namespace tavolex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    fuzz::Bench bench;
    const std::uint8_t address = input.byte();
    fuzz::AnswerFromInput(bench.line, input);
    PortHandle port = bench.link.opener.open({}, PortProfile::Acquisition);
    TemperatureReply reply;
    const std::tm time{};

    const ReadOutcome outcome = ReadTemperatureReply(*port, address, reply, bench.link.context);
    fuzz::Require(outcome.received <= TemperatureReply::kSize);
    if (outcome.ok()) {
        fuzz::Require(reply.wordCount() >= kMinTemperatureWords &&
                      reply.wordCount() <= kMaxTemperatureWords);
        (void)TemperatureColumnOf(reply);
        (void)Utf8ToGbk(RecordLine(time, reply));
        (void)CsvRecordLine(time, reply);
    } else {
        const std::string entry = CommErrorEntry(time, FailureLogText(outcome.failure),
                                                 ByteView(reply.bytes).first(outcome.received));
        (void)Utf8ToGbk(entry);
    }
    return 0;
}
