// A serial device opened exclusively through termios: raw 8N1 at the requested speed.
#pragma once

#include <filesystem>

#include "SerialPort.h"

namespace tavolex {

class PosixSerialPort final : public SerialPort {
public:
    // Opens, locks and configures the device, then purges both directions. Null when the
    // device is missing, held by another holder, or refuses the speed.
    static std::unique_ptr<PosixSerialPort> Open(const std::filesystem::path& device,
                                                 std::int32_t baudRate, PortProfile profile);
    ~PosixSerialPort() override;

    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    PortProfile profile() const override { return m_profile; }
    std::size_t queuedBytes() override;
    std::size_t readQueued(std::span<std::uint8_t> into) override;
    std::size_t write(ByteView bytes) override;
    void purge() override;
    void waitForInput(std::size_t known, Clock::Duration maxWait) override;

private:
    PosixSerialPort(int fd, PortProfile profile) : m_fd(fd), m_profile(profile) {}

    int m_fd;
    PortProfile m_profile;
};

// Opens port `settings.portNumber` (see PortNaming.h) with the settings' speed.
PortHandle OpenPort(const LinkSettings& settings, PortProfile profile);

// The production opener: real devices through OpenPort.
class PosixPortOpener final : public PortOpener {
public:
    PortHandle open(const LinkSettings& settings, PortProfile profile) override {
        return OpenPort(settings, profile);
    }
};

}  // namespace tavolex
