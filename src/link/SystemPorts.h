// The serial ports of the platform the program was built for: termios devices on Linux,
// COM ports on Windows. Programs choose their opener here, and nowhere else.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "SerialPort.h"

namespace tavolex {

// Opens port numbers as this platform names them (comN links and /dev/ttyS on Linux, COMn on
// Windows).
std::unique_ptr<PortOpener> MakeSystemPortOpener(PortChooser chooser = PortChooser::Menu);

// Opens a device named by its path (/dev/ttyUSB0, \\.\COM3) with the profile; null when it
// cannot be opened or refuses the speed.
PortHandle OpenSerialDevice(const std::filesystem::path& device, std::int32_t baudRate,
                            PortProfile profile);

// The help line of a --port option: what a port number opens on this platform.
std::string_view PortOptionHelp();

}  // namespace tavolex
