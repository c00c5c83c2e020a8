#include "CliLink.h"

#include "PortOpenFailure.h"
#include "SystemPorts.h"

namespace tavolex::cli {

PortHandle DevicePathOpener::open(const LinkSettings& settings, PortProfile profile) {
    return OpenSerialDevice(m_device, settings.baudRate, profile);
}

std::string DevicePathOpener::failureReason(const LinkSettings& settings) {
    return DeviceOpenFailureReason(m_device, settings.baudRate);
}

}  // namespace tavolex::cli
