// The command codes the program sends to the instrument.
#pragma once

#include <cstdint>

namespace tavolex::command {

inline constexpr std::uint8_t kSetSignalCount = 0x01;
inline constexpr std::uint8_t kRegisterSemiAutomatic = 0x02;
inline constexpr std::uint8_t kReadProbeSn = 0x03;
inline constexpr std::uint8_t kRegisterManual = 0x04;
inline constexpr std::uint8_t kRegisterFullyAutomatic = 0x05;
inline constexpr std::uint8_t kReadPt100Temperatures = 0x07;
inline constexpr std::uint8_t kReadPt100ParametersOrVersion = 0x08;
inline constexpr std::uint8_t kCalibrate = 0x09;
inline constexpr std::uint8_t kSetOffset = 0x0A;
inline constexpr std::uint8_t kReadTemperatures = 0x0B;
inline constexpr std::uint8_t kReadOffsets = 0x0D;
inline constexpr std::uint8_t kReadClock = 0x10;
inline constexpr std::uint8_t kSetClock = 0x11;
inline constexpr std::uint8_t kStoredRecords = 0x12;
inline constexpr std::uint8_t kSetRecordingInterval = 0x13;
inline constexpr std::uint8_t kReadRecordingInterval = 0x14;
inline constexpr std::uint8_t kDeleteRecords = 0x15;
inline constexpr std::uint8_t kWipeIds = 0x16;

}  // namespace tavolex::command
