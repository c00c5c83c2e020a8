// The calls the instrument protocol needs from an open serial port. Destroying the object
// closes the port, so a port handle is released on every way out of an operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "Clock.h"
#include "Frame.h"
#include "LinkSettings.h"
#include "StopRequest.h"

namespace tavolex {

class SerialPort {
public:
    virtual ~SerialPort() = default;

    virtual PortProfile profile() const = 0;
    // Bytes waiting in the input queue.
    virtual std::size_t queuedBytes() = 0;
    // Takes up to into.size() bytes that are already queued; never blocks.
    virtual std::size_t readQueued(std::span<std::uint8_t> into) = 0;
    // Writes the bytes, within the profile's write time-outs; returns how many went out.
    virtual std::size_t write(ByteView bytes) = 0;
    // Discards everything queued in both directions.
    virtual void purge() = 0;
    // Blocks until more than `known` bytes are queued or `maxWait` has passed.
    virtual void waitForInput(std::size_t known, Clock::Duration maxWait) = 0;
    // As waitForInput(), and a stop request ends the wait at once. A port that cannot sleep on
    // the request (a test's fake, whose waits cost no real time) only skips the wait once the
    // stop is requested.
    virtual void waitForInputOrStop(std::size_t known, Clock::Duration maxWait,
                                    const StopRequest& stop) {
        if (!stop.requested()) waitForInput(known, maxWait);
    }
    // A descriptor that polls readable while input is queued, for a caller that sleeps on it
    // among its own; -1 when the port has none, and waits then go through waitForInput.
    virtual int readableDescriptor() const { return -1; }
};

using PortHandle = std::unique_ptr<SerialPort>;

// Where the operator chooses which device a port number means, so that a reason can say
// where to go: the program's own chooser (its menu item "选择串口"), or the command line (its
// port list and the ports folder).
enum class PortChooser { Menu, CommandLine };

// Opens ports for operations; production opens real devices, tests hand out fakes.
class PortOpener {
public:
    virtual ~PortOpener() = default;
    // An open, configured and purged port, or null when it cannot be opened.
    virtual PortHandle open(const LinkSettings& settings, PortProfile profile) = 0;
    // Why an open with these settings has just failed, as one line the operator can act on;
    // empty when the opener cannot tell.
    virtual std::string failureReason(const LinkSettings& /*settings*/) { return {}; }
    // What the device these settings open may explain about a reading that got no reply at
    // all, as one line; empty when the opener cannot tell.
    virtual std::string noReplyReason(const LinkSettings& /*settings*/) { return {}; }
};

}  // namespace tavolex
