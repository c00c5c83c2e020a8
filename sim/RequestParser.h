// Cuts the byte stream the instrument receives into request frames, the way the instrument's
// receiver does: it looks for the start bytes 14 3F, waits until the 9 + n bytes of the frame
// have arrived, and drops frames whose checksum is wrong. Bytes that belong to no frame are
// skipped one at a time, so a real frame hidden behind line noise or a broken frame is still
// found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Frame.h"

namespace tavolex::sim {

struct Request {
    std::uint8_t address = 0;
    std::uint8_t code = 0;
    Bytes payload;
};

class RequestParser {
public:
    // Appends the bytes and returns every request they complete, in order.
    std::vector<Request> feed(ByteView bytes);

    // Bytes held back as the start of a frame not yet complete.
    std::size_t pendingBytes() const { return m_buffer.size(); }
    // Bytes dropped so far as noise or as part of a broken frame.
    std::size_t discardedBytes() const { return m_discarded; }

    void reset() { m_buffer.clear(); }

private:
    Bytes m_buffer;
    std::size_t m_discarded = 0;
};

}  // namespace tavolex::sim
