// Request and reply frames of the instrument protocol and their checksum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tavolex {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

inline constexpr std::uint8_t kFrameStart0 = 0x14;
inline constexpr std::uint8_t kFrameStart1 = 0x3F;
inline constexpr std::size_t kFrameHeaderSize = 7;     // start, 0x3F, 0x00, address, code, length
inline constexpr std::size_t kFrameOverhead = 9;       // header plus the two checksum bytes
inline constexpr std::size_t kReplyDataOffset = 7;     // first data byte of a reply
inline constexpr std::size_t kMaxRequestPayload = 10;  // longest payload any command sends

// 0xFFFF XOR the 16-bit sum of bytes 1 .. count-1, where count is the frame length without
// its two checksum bytes (byte 0 is not covered).
std::uint16_t FrameChecksum(ByteView frame, std::size_t count);

// 14 3F 00 address code 00 n payload checksum(high, low).
Bytes RequestFrame(std::uint8_t address, std::uint8_t code, ByteView payload = {});

// True when the last two bytes of the frame are the checksum of the bytes before them.
bool HasValidChecksum(ByteView frame);

// A reply frame with the given header fields and data, checksum appended. Used by the
// simulated instrument and by tests that script replies.
Bytes ReplyFrame(std::uint8_t address, std::uint8_t code, ByteView data);

// The 16-bit big-endian value at the offset.
inline std::uint16_t BigEndian16(ByteView bytes, std::size_t offset) {
    return static_cast<std::uint16_t>((bytes[offset] << 8) | bytes[offset + 1]);
}

}  // namespace tavolex
