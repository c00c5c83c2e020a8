// A serial device opened exclusively through termios: raw 8N1 at the requested speed.
#pragma once

#include <poll.h>
#include <sys/types.h>

#include <filesystem>
#include <optional>

#include "PortNaming.h"
#include "SerialPort.h"

namespace tavolex {

// The system calls an open port makes; tests replace them to see interrupted, busy and failing
// calls that a real line rarely produces on demand.
struct PortSystemCalls {
    ssize_t (*read)(int fd, void* buffer, size_t count);
    ssize_t (*write)(int fd, const void* buffer, size_t count);
    // The number of bytes queued for reading (FIONREAD); 0 on success, -1 on failure.
    int (*queued)(int fd, int* count);
    int (*poll)(pollfd* fds, nfds_t count, int timeoutMs);

    static const PortSystemCalls& Real();
};

class PosixSerialPort final : public SerialPort {
public:
    // Opens, locks and configures the device, then purges both directions. Null when the
    // device is missing, held by another holder, or refuses the speed.
    static std::unique_ptr<PosixSerialPort> Open(
        const std::filesystem::path& device, std::int32_t baudRate, PortProfile profile,
        const PortSystemCalls& calls = PortSystemCalls::Real());
    ~PosixSerialPort() override;

    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    PortProfile profile() const override { return m_profile; }
    std::size_t queuedBytes() override;
    std::size_t readQueued(std::span<std::uint8_t> into) override;
    std::size_t write(ByteView bytes) override;
    void purge() override;
    void waitForInput(std::size_t known, Clock::Duration maxWait) override;
    void waitForInputOrStop(std::size_t known, Clock::Duration maxWait,
                            const StopRequest& stop) override;
    int readableDescriptor() const override;

private:
    PosixSerialPort(int fd, PortProfile profile, const PortSystemCalls& calls);
    // Waits for input as waitForInput() does, or until `stopFd` (when not negative) is readable.
    void waitForInputOr(std::size_t known, Clock::Duration maxWait, int stopFd);

    int m_fd;
    PortProfile m_profile;
    const PortSystemCalls& m_calls;
    // Edge-triggered watch of the device: it reports bytes that arrive after some are queued
    // already, when a plain poll of the device would read as ready at once. -1 if the
    // system gave none.
    int m_arrivals = -1;
};

// Opens port `settings.portNumber` (see PortNaming.h) with the settings' speed.
PortHandle OpenPort(const LinkSettings& settings, PortProfile profile);
PortHandle OpenPort(const LinkSettings& settings, PortProfile profile, const DeviceTree& tree);

// The production opener: real devices through OpenPort, in the machine's device tree (read
// afresh at each open, so a changed ports folder counts at once) or in the given one.
class PosixPortOpener final : public PortOpener {
public:
    explicit PosixPortOpener(PortChooser chooser = PortChooser::Menu) : m_chooser(chooser) {}
    explicit PosixPortOpener(DeviceTree tree, PortChooser chooser = PortChooser::Menu)
        : m_tree(std::move(tree)), m_chooser(chooser) {}

    PortHandle open(const LinkSettings& settings, PortProfile profile) override;
    std::string failureReason(const LinkSettings& settings) override;
    std::string noReplyReason(const LinkSettings& settings) override;

private:
    DeviceTree tree() const { return m_tree ? *m_tree : DeviceTree{}; }

    std::optional<DeviceTree> m_tree;
    PortChooser m_chooser;
};

}  // namespace tavolex
