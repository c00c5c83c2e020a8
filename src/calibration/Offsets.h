// The instrument's per-channel temperature offsets: reading all 68 at once for the channel
// lists, and setting one, with the probe type that says which kind of channel it is. Both are
// dedicated exchanges with their own frame, an exact reply length and a verified checksum.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "LinkContext.h"
#include "Operation.h"
#include "Operator.h"
#include "Transact.h"

namespace tavolex {

// One offset on the wire: signed 8-bit two's complement in tenths of a degree.
class OffsetByte {
public:
    constexpr explicit OffsetByte(std::uint8_t raw) : m_raw(raw) {}
    constexpr std::uint8_t raw() const { return m_raw; }
    constexpr int tenths() const { return m_raw < 0x80 ? m_raw : m_raw - 0x100; }
    // Degrees with one decimal: 0xFF reads "-0.1", 0x05 "0.5"; independent of the locale.
    std::string text() const;

private:
    std::uint8_t m_raw;
};

// The kind of channel an offset is for, as sent: the probe-type list's index plus one.
enum class ProbeType : std::uint8_t { Platinum = 1, Digital = 2 };

inline constexpr int kOffsetRowsPerList = 32;
inline constexpr int kPt100OffsetRows = 4;
// The operator sets offsets only within -10.0 to +10.0 degrees.
inline constexpr int kMaxOffsetTenths = 100;

// What "偏移值" shows in each row of the three channel lists.
struct OffsetColumnTexts {
    std::array<std::string, kOffsetRowsPerList> low;   // channels 1-32
    std::array<std::string, kOffsetRowsPerList> high;  // channels 33-64
    std::array<std::string, kPt100OffsetRows> pt100;   // PT100 channels 1-4
};

// Reads the offsets of every channel; none when the reply was refused (the operator has been
// told, except for a wrong length byte, which the lists ignore silently).
Outcome<OffsetColumnTexts> ReadAllOffsets(OperationContext& context, bool acquisitionOn);

// What setting one offset reads from the window.
struct OffsetSetting {
    std::optional<ProbeType> probeType;  // none when no probe type is selected
    int channelIndex = -1;               // selected item of the channel list, -1 none
    std::string valueText;               // the offset as typed, in degrees
};

// Sets one channel's offset and tells the operator the outcome; true when the instrument
// confirmed it.
// The message for a setting the instrument cannot take (no probe type, a value outside
// -10.0 to +10.0); none for one it can. The window opens the port before it looks; the client
// looks before it opens.
std::optional<std::string> OffsetRefusal(const OffsetSetting& setting);

Outcome<> SetOffset(OperationContext& context, bool acquisitionOn, const OffsetSetting& setting);

// The typed offset in whole tenths, truncated toward zero and computed from the decimal digits
// themselves (0.7 is 7, never 6); the text is read up to the first character that does not
// belong to a number, and text without a number is 0. None when the exact value lies outside
// -10.0 to +10.0.
std::optional<int> OffsetTenths(std::string_view text);

// The probe type of the probe-type list's selected index; none for no selection.
std::optional<ProbeType> ProbeTypeOfIndex(int index);

// The items of the channel list: "0" to "3" for the platinum probes, "1" to "64" for the
// digital sensors. The channel sent is the selected item's index.
std::vector<std::string> OffsetChannelItems(ProbeType type);

}  // namespace tavolex
