// The simulated instrument on the fuzzer's bytes as a buggy host might send them: the request
// parser takes them in pieces (the selector byte picks the piece size), and the model answers
// every request it finds, its reply then passing the fault plan like on the pty.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "FaultPlan.h"
#include "FuzzInput.h"
#include "InstrumentModel.h"
#include "RequestParser.h"

using namespace tavolex;

namespace {

// Building the model is costly (its probes, its records); every input gets a copy of one.
const sim::InstrumentModel& Prototype() {
    static const sim::InstrumentModel model = [] {
        const auto start = std::chrono::system_clock::time_point(std::chrono::hours(480000));
        sim::ModelOptions options;
        options.recordCapacity = 50;
        sim::InstrumentModel built(options, [start] { return start; });
        built.preloadRecords(20);
        return built;
    }();
    return model;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const std::size_t piece = 1 + input.byte() % 32;
    sim::InstrumentModel model = Prototype();
    sim::RequestParser parser;
    sim::FaultPlan faults;
    faults.add(*sim::FaultRule::Parse("surplus:any:bytes=3:p=0.5"));

    std::size_t fed = 0;
    while (!input.empty()) {
        const ByteView bytes = input.bytes(piece);
        fed += bytes.size();
        for (const sim::Request& request : parser.feed(bytes)) {
            fuzz::Require(request.payload.size() <= kMaxRequestPayload);
            if (auto reply = model.handle(request)) {
                fuzz::Require(reply->size() >= kFrameOverhead && HasValidChecksum(*reply));
                (void)faults.apply(request.code, std::move(*reply));
            }
        }
        fuzz::Require(parser.pendingBytes() <= fed);
    }
    return 0;
}
