// The client's ports: a port number or straight a device path, and a watch that notes whether
// a port failed to open, which decides the exit status.
#pragma once

#include <filesystem>
#include <string>

#include "LinkSettings.h"
#include "SerialPort.h"
#include "Transact.h"

namespace tavolex::cli {

// Opens the device at a path (--device), whatever port number the settings carry.
class DevicePathOpener final : public PortOpener {
public:
    explicit DevicePathOpener(std::filesystem::path device) : m_device(std::move(device)) {}

    PortHandle open(const LinkSettings& settings, PortProfile profile) override;
    std::string failureReason(const LinkSettings& settings) override;

private:
    std::filesystem::path m_device;
};

// Passes opens on to another opener and remembers whether one of them failed.
class WatchedOpener final : public PortOpener {
public:
    explicit WatchedOpener(PortOpener& base) : m_base(base) {}

    PortHandle open(const LinkSettings& settings, PortProfile profile) override {
        PortHandle port = m_base.open(settings, profile);
        if (!port) m_failed = true;
        return port;
    }
    std::string failureReason(const LinkSettings& settings) override {
        return m_base.failureReason(settings);
    }
    std::string noReplyReason(const LinkSettings& settings) override {
        return m_base.noReplyReason(settings);
    }
    bool failed() const { return m_failed; }

private:
    PortOpener& m_base;
    bool m_failed = false;
};

}  // namespace tavolex::cli
