// How a port number names a serial device on this platform: `comN` in the ports folder when
// that entry exists (usually a link to /dev/ttyUSB0, /dev/ttyACM0 or a pseudo-terminal),
// otherwise /dev/ttyS(N-1).
#pragma once

#include <filesystem>
#include <optional>

namespace tavolex {

// $TAVOLEX_PORTS_DIR, else ${XDG_CONFIG_HOME:-~/.config}/tavolex/ports.
std::filesystem::path PortsDirectory();

// The entry `comN` in the ports folder.
std::filesystem::path PortLinkPath(int portNumber);

// The device for the port number; none for numbers below 1.
std::optional<std::filesystem::path> DevicePathForPort(int portNumber);

}  // namespace tavolex
