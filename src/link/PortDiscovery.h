// The serial devices present on this machine, the port number that opens each, and whether
// this user can open it now; and the links that give a device a port number.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PortNaming.h"

namespace tavolex {

enum class PortState {
    Available,     // this user may open it, and nobody holds it
    Busy,          // another holder has it locked or opened exclusively
    NoPermission,  // this user may not read and write it
    Missing,       // nothing there: unplugged, a dangling link, or a serial port without hardware
};

// "可用", "被占用", "无权限", "不存在".
std::string_view PortStateText(PortState state);

// Looks at one device without keeping it: whether it exists, whether this user may open it,
// and whether another holder has it. Opens it briefly when it may.
PortState ProbeDevice(const std::filesystem::path& device, const DeviceTree& tree);

// The kernel creates a ttyS entry for every possible on-board port; only those with a UART
// behind them report a port type other than 0 ("unknown") in /sys.
bool HasUart(std::string_view ttyName, const DeviceTree& tree);

struct PortEntry {
    // The number that opens this device now; none when no number does.
    std::optional<int> portNumber;
    // True when the number comes from a `comN` entry of the ports folder (which can be removed).
    bool bound = false;
    // The device itself (/dev/ttyUSB0, /dev/pts/3), or what a dangling link names.
    std::filesystem::path device;
    // What a new binding links to: the device's /dev/serial/by-id name where it has one, which
    // stays the same when the adapter is unplugged and plugged in again.
    std::filesystem::path stablePath;
    std::string description;
    PortState state = PortState::Missing;
};

// Every serial device present and every `comN` entry of the ports folder: USB adapters by
// their by-id names, bare ttyUSB and ttyACM devices, the ttyS ports that have hardware behind
// them, and the entries of the ports folder (a simulator's pseudo-terminal, or a link to a
// device that is gone). Numbered entries first, by number; then the others by device.
std::vector<PortEntry> DiscoverPorts(const DeviceTree& tree = DeviceTree{});

// Maker, model and serial number from a /dev/serial/by-id name:
// "usb-FTDI_FT232R_USB_UART_A9M9DV3R-if00-port0" gives "FTDI FT232R USB UART A9M9DV3R".
std::string ByIdDescription(std::string_view name);

// The ports as lines of text: number, device, description and state, one port a line, under
// a heading; a line saying so when there are none.
std::string PortListText(const std::vector<PortEntry>& entries);

// Makes port `portNumber` open `device`: replaces `comN` in the ports folder (made when
// missing) with a link to it, in one step. Returns why it could not, or empty on success.
std::string BindPort(int portNumber, const std::filesystem::path& device,
                     const std::filesystem::path& portsDir);
// Removes the link `comN` from the ports folder. Returns why it could not, or empty.
std::string UnbindPort(int portNumber, const std::filesystem::path& portsDir);

}  // namespace tavolex
