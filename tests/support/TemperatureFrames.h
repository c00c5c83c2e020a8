// Valid replies to the read-temperatures command, for scripting the fake line.
#pragma once

#include <algorithm>
#include <numeric>
#include <vector>

#include "Commands.h"
#include "Frame.h"
#include "TemperatureReply.h"
#include "TenthDegree.h"

namespace tavolex::testing {

// A valid reply carrying these words, in tenths of a degree.
inline Bytes TemperatureFrame(const std::vector<int>& tenths, std::uint8_t address = 0) {
    Bytes data;
    for (int t : tenths) {
        const TenthDegree word = TenthDegree::FromTenths(t);
        data.push_back(word.high());
        data.push_back(word.low());
    }
    return ReplyFrame(address, command::kReadTemperatures, data);
}

// The reply buffer as the link leaves it after receiving that frame.
inline TemperatureReply TemperatureReplyOf(const std::vector<int>& tenths) {
    const Bytes frame = TemperatureFrame(tenths);
    TemperatureReply reply;
    std::copy(frame.begin(), frame.end(), reply.bytes.begin());
    return reply;
}

// A valid reply of `words` words rising by a tenth from `first`.
inline Bytes RisingTemperatureFrame(int words, int first, std::uint8_t address = 0) {
    std::vector<int> tenths(static_cast<std::size_t>(words));
    std::iota(tenths.begin(), tenths.end(), first);
    return TemperatureFrame(tenths, address);
}

}  // namespace tavolex::testing
