// How a port number names a serial device on this platform: `comN` in the ports folder when
// that entry exists (usually a link to /dev/ttyUSB0, /dev/ttyACM0 or a pseudo-terminal),
// otherwise /dev/ttyS(N-1).
#pragma once

#include <filesystem>
#include <functional>
#include <optional>

namespace tavolex {

// $TAVOLEX_PORTS_DIR, else ${XDG_CONFIG_HOME:-~/.config}/tavolex/ports.
std::filesystem::path PortsDirectory();

// True when this process may open the file for reading and writing.
bool MayReadWrite(const std::filesystem::path& device);

// Where port numbers, serial devices and their descriptions are found, and who may open them.
// The defaults are the machine's own; tests build a tree of their own in a temporary folder.
struct DeviceTree {
    std::filesystem::path portsDir = PortsDirectory();
    std::filesystem::path dev = "/dev";
    std::filesystem::path sys = "/sys";
    std::function<bool(const std::filesystem::path&)> mayReadWrite = MayReadWrite;
};

// The entry `comN` in the ports folder.
std::filesystem::path PortLinkPath(int portNumber);
std::filesystem::path PortLinkPath(int portNumber, const DeviceTree& tree);

// The device for the port number; none for numbers below 1.
std::optional<std::filesystem::path> DevicePathForPort(int portNumber);
std::optional<std::filesystem::path> DevicePathForPort(int portNumber, const DeviceTree& tree);

}  // namespace tavolex
