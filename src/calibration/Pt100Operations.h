// The service operations on the instrument's four PT100 channels: reading a channel's
// calibration parameters, its three calibration steps, and reading the four temperatures.
// Each runs one generic transaction on the window it is called from, tells the operator what
// failed, and returns what the window shows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "LinkContext.h"
#include "Operation.h"
#include "Operator.h"
#include "TenthDegree.h"
#include "Transact.h"

namespace tavolex {

inline constexpr int kPt100ChannelCount = 4;
using Pt100Temperatures = std::array<TenthDegree, kPt100ChannelCount>;
// The channel byte sent when no channel is chosen.
inline constexpr std::uint8_t kNoPt100Channel = 0xFF;

struct Pt100Parameters {
    int zeroPointAd = 0;
    // The offset in tenths of a degree, as its byte reads (see Pt100OffsetTenths).
    int offsetTenths = 0;
    int resistor1Ad = 0;
    int resistor2Ad = 0;
};

// The calibration steps, with the kind byte each sends.
enum class Pt100Calibration : std::uint8_t { ZeroPoint = 1, Resistor1 = 2, Resistor2 = 3 };

// The offset byte b of a parameter reply in tenths: b up to 128, and 128 - b above it (so
// 129..255 are -1..-127 and 128 is +128).
int Pt100OffsetTenths(std::uint8_t offsetByte);

Outcome<Pt100Parameters> ReadPt100Parameters(OperationContext& context, std::uint8_t channel);

// The new AD value the calibration step reports.
Outcome<int> CalibratePt100(OperationContext& context, Pt100Calibration step, std::uint8_t channel);

Outcome<Pt100Temperatures> ReadPt100Temperatures(OperationContext& context);

// The offset spin of the parameter window: position p (0..100) stands for (p - 50) tenths.
inline constexpr int kOffsetSpinMin = 0;
inline constexpr int kOffsetSpinMax = 100;
inline constexpr int kOffsetSpinStart = 50;

// "%0.2f" of an offset in tenths.
std::string Pt100OffsetText(int tenths);

// The leading decimal number of a text, 0 when there is none; "." is the decimal mark.
double LeadingDecimal(std::string_view text);

// "%0.1f" of the offset a spin position stands for.
std::string OffsetTextOfSpin(int position);
// The spin position for a typed offset: the text's leading decimal number (0 without one),
// times ten plus 50, truncated toward zero and clamped to the spin's range.
int SpinOfOffsetText(std::string_view text);

}  // namespace tavolex
