// A COM port opened exclusively through the Windows serial API, with overlapped I/O so that
// waiting for input blocks on the port's receive event rather than polling.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <memory>
#include <string>

#include "ComPorts.h"
#include "SerialPort.h"

namespace tavolex {

// Copies the line settings into a device control block, leaving every other field as read.
void ApplyLineFields(DCB& dcb, const LineFields& fields);

// The profile's time-outs in the Windows structure.
COMMTIMEOUTS CommTimeoutsOf(const PortTimeouts& timeouts);

// A wait's length in whole milliseconds for the Windows waits: rounded up, so that a wait never
// ends before its time, and at most a minute.
DWORD WaitMilliseconds(Clock::Duration duration);

class Win32SerialPort final : public SerialPort {
public:
    // Opens the device ("\\.\COM3") without sharing, sets the line, time-outs and queues, and
    // purges both directions. Null when the device is missing, held by another program, or
    // refuses the line settings.
    static std::unique_ptr<Win32SerialPort> Open(const std::string& devicePath,
                                                 std::int32_t baudRate, PortProfile profile);
    ~Win32SerialPort() override;

    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    PortProfile profile() const override { return m_profile; }
    std::size_t queuedBytes() override;
    std::size_t readQueued(std::span<std::uint8_t> into) override;
    std::size_t write(ByteView bytes) override;
    void purge() override;
    void waitForInput(std::size_t known, Clock::Duration maxWait) override;
    void waitForInputOrStop(std::size_t known, Clock::Duration maxWait,
                            const StopRequest& stop) override;

private:
    Win32SerialPort(HANDLE handle, PortProfile profile);

    // Waits for input as waitForInput() does, or until `stopEvent` (when not null) is set.
    void waitForInputOr(std::size_t known, Clock::Duration maxWait, HANDLE stopEvent);

    // Runs one overlapped read or write to its end; the port's time-outs bound it.
    std::size_t transfer(bool reading, void* buffer, std::size_t count);
    // Stops event waits when one ended without an event.
    void noteWaitEnded();
    // Ends a receive-event wait that is still pending, before its structure goes away.
    void cancelEventWait();

    HANDLE m_handle;
    PortProfile m_profile;
    HANDLE m_ioEvent;
    HANDLE m_waitEvent;
    OVERLAPPED m_wait{};
    DWORD m_eventMask = 0;
    bool m_waitPending = false;
    // False once the driver refuses receive-event waits or ends them without an event; waits
    // then look at the queue every few milliseconds.
    bool m_eventWaits = true;
};

// The production opener on Windows: port n is COMn.
class Win32PortOpener final : public PortOpener {
public:
    PortHandle open(const LinkSettings& settings, PortProfile profile) override;
    std::string failureReason(const LinkSettings& settings) override;
};

}  // namespace tavolex
