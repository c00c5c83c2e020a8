#include "RequestParser.h"

namespace tavolex::sim {

std::vector<Request> RequestParser::feed(ByteView bytes) {
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());

    std::vector<Request> requests;
    std::size_t pos = 0;
    const std::size_t size = m_buffer.size();
    const auto skip = [&] {
        ++pos;
        ++m_discarded;
    };
    while (pos < size) {
        if (m_buffer[pos] != kFrameStart0) {
            skip();
            continue;
        }
        if (pos + 1 < size && m_buffer[pos + 1] != kFrameStart1) {
            skip();
            continue;
        }
        if (size - pos < kFrameHeaderSize) break;
        // Byte 2 and the high length byte are always zero, and no request carries more than
        // kMaxRequestPayload bytes: anything else is a false start inside noise.
        const std::size_t payloadSize = m_buffer[pos + 6];
        if (m_buffer[pos + 2] != 0x00 || m_buffer[pos + 5] != 0x00 ||
            payloadSize > kMaxRequestPayload) {
            skip();
            continue;
        }
        const std::size_t frameSize = kFrameOverhead + payloadSize;
        if (size - pos < frameSize) break;
        const ByteView frame(m_buffer.data() + pos, frameSize);
        if (!HasValidChecksum(frame)) {
            skip();
            continue;
        }
        const auto payload = frame.subspan(kFrameHeaderSize, payloadSize);
        requests.push_back(Request{frame[3], frame[4], Bytes(payload.begin(), payload.end())});
        pos += frameSize;
    }
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(pos));
    return requests;
}

}  // namespace tavolex::sim
