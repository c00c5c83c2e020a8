#include "PortNaming.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace tavolex {

namespace fs = std::filesystem;

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

fs::path PortsDirectory() {
    if (auto dir = Environment("TAVOLEX_PORTS_DIR"); !dir.empty()) return dir;
    fs::path config = Environment("XDG_CONFIG_HOME");
    if (config.empty()) config = fs::path(Environment("HOME")) / ".config";
    return config / "tavolex" / "ports";
}

bool MayReadWrite(const fs::path& device) {
    return ::access(device.string().c_str(), R_OK | W_OK) == 0;
}

fs::path PortLinkPath(int portNumber) {
    return PortLinkPath(portNumber, DeviceTree{});
}

fs::path PortLinkPath(int portNumber, const DeviceTree& tree) {
    return tree.portsDir / ("com" + std::to_string(portNumber));
}

std::optional<fs::path> DevicePathForPort(int portNumber) {
    return DevicePathForPort(portNumber, DeviceTree{});
}

std::optional<fs::path> DevicePathForPort(int portNumber, const DeviceTree& tree) {
    if (portNumber < 1) return std::nullopt;
    const fs::path link = PortLinkPath(portNumber, tree);
    std::error_code error;
    // A dangling link still names the port: opening it fails, rather than silently
    // falling back to a different device.
    if (fs::exists(fs::symlink_status(link, error))) return link;
    return tree.dev / ("ttyS" + std::to_string(portNumber - 1));
}

}  // namespace tavolex
