#include "Frame.h"

namespace tavolex {

std::uint16_t FrameChecksum(ByteView frame, std::size_t count) {
    std::uint16_t sum = 0;
    for (std::size_t i = 1; i < count && i < frame.size(); ++i) {
        sum = static_cast<std::uint16_t>(sum + frame[i]);
    }
    return static_cast<std::uint16_t>(sum ^ 0xFFFF);
}

namespace {

void AppendChecksum(Bytes& frame) {
    const std::uint16_t checksum = FrameChecksum(frame, frame.size());
    frame.push_back(static_cast<std::uint8_t>(checksum >> 8));
    frame.push_back(static_cast<std::uint8_t>(checksum & 0xFF));
}

Bytes FrameWithHeader(std::uint8_t b0, std::uint8_t address, std::uint8_t code, ByteView data) {
    Bytes frame;
    frame.reserve(kFrameOverhead + data.size());
    frame.assign({b0, kFrameStart1, 0x00, address, code,
                  static_cast<std::uint8_t>(data.size() >> 8),
                  static_cast<std::uint8_t>(data.size() & 0xFF)});
    for (std::uint8_t byte : data)
        frame.push_back(byte);
    AppendChecksum(frame);
    return frame;
}

}  // namespace

Bytes RequestFrame(std::uint8_t address, std::uint8_t code, ByteView payload) {
    return FrameWithHeader(kFrameStart0, address, code, payload);
}

Bytes ReplyFrame(std::uint8_t address, std::uint8_t code, ByteView data) {
    return FrameWithHeader(kFrameStart0, address, code, data);
}

bool HasValidChecksum(ByteView frame) {
    if (frame.size() < 3) return false;
    const std::size_t count = frame.size() - 2;
    return FrameChecksum(frame, count) == BigEndian16(frame, count);
}

}  // namespace tavolex
