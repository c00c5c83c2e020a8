// Windows serial ports in plain values: the device path of a port number, the line settings
// and queue sizes an open gives a port, and the port list built from the system's table of
// serial devices. Nothing here needs the Windows headers, so these choices are checked on
// every platform; Win32SerialPort copies them into the Windows structures.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "LinkSettings.h"
#include "PortDiscovery.h"

namespace tavolex {

// "\\.\COM3" for port 3: the form that also reaches ports above 9. None below 1.
std::optional<std::string> ComDevicePath(int portNumber);

// 12 for "COM12" (any letter case, trailing blanks and NULs ignored); none for other names.
std::optional<int> ComPortNumber(std::string_view name);

// The device control block fields an open sets; every other field keeps what the port
// reported. The numbers are those of the Windows constants named beside them.
struct LineFields {
    std::uint32_t baudRate = 0;
    std::uint8_t byteSize = 8;
    std::uint8_t parity = 0;       // NOPARITY
    std::uint8_t stopBits = 0;     // ONESTOPBIT
    std::uint32_t dtrControl = 0;  // DTR_CONTROL_DISABLE
    bool abortOnError = false;

    bool operator==(const LineFields&) const = default;
};

// The line settings for the link's baud rate; none for a rate of 0 or below (what a baud-rate
// text without a number gives), which no serial line runs at.
std::optional<LineFields> LineFieldsFor(const LinkSettings& settings);

struct QueueSizes {
    std::uint32_t inputBytes;
    std::uint32_t outputBytes;

    bool operator==(const QueueSizes&) const = default;
};

// The driver queue sizes a profile asks for; none where the driver's own are kept.
std::optional<QueueSizes> QueueSizesFor(PortProfile profile);

// One value of the system's table of serial devices: the driver's device name ("\Device\Serial0")
// and the port name it gave the device ("COM1").
using SerialCommValue = std::pair<std::string, std::string>;

// The ports of that table, by number: device "\\.\COMn", described by the driver's device name,
// with the state `probe` finds for the device path. Values that name no COM port are skipped,
// and a port listed twice is shown once.
std::vector<PortEntry> ComPortEntries(const std::vector<SerialCommValue>& values,
                                      const std::function<PortState(const std::string&)>& probe);

}  // namespace tavolex
