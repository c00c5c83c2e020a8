#include "Win32SerialPort.h"

#include <algorithm>
#include <chrono>

#include "PortOpenFailure.h"
#include "SystemPorts.h"

namespace tavolex {

namespace {

constexpr DWORD kPurgeEverything = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr DWORD kLongestWaitMs = 60'000;
// How soon a port whose driver cannot signal received bytes is looked at again.
constexpr DWORD kLookAgainMs = 2;
// How long a pending receive-event wait gets to end after its mask is cleared.
constexpr DWORD kWaitEndMs = 200;

HANDLE ManualResetEvent() {
    return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

}  // namespace

void ApplyLineFields(DCB& dcb, const LineFields& fields) {
    dcb.BaudRate = fields.baudRate;
    dcb.ByteSize = fields.byteSize;
    dcb.Parity = fields.parity;
    dcb.StopBits = fields.stopBits;
    dcb.fDtrControl = fields.dtrControl;
    dcb.fAbortOnError = fields.abortOnError ? 1 : 0;
}

COMMTIMEOUTS CommTimeoutsOf(const PortTimeouts& timeouts) {
    COMMTIMEOUTS result{};
    result.ReadIntervalTimeout = timeouts.readIntervalMs;
    result.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplierMs;
    result.ReadTotalTimeoutConstant = timeouts.readTotalConstantMs;
    result.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplierMs;
    result.WriteTotalTimeoutConstant = timeouts.writeTotalConstantMs;
    return result;
}

DWORD WaitMilliseconds(Clock::Duration duration) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(duration).count();
    return static_cast<DWORD>(std::clamp<long long>(ms, 0, kLongestWaitMs));
}

std::unique_ptr<Win32SerialPort> Win32SerialPort::Open(const std::string& devicePath,
                                                       std::int32_t baudRate, PortProfile profile) {
    const std::optional<LineFields> line = LineFieldsFor(LinkSettings{0, baudRate, 0});
    if (!line) return nullptr;
    HANDLE handle =
        CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    // A failed read is ignored: the block then holds only what is set here.
    (void)GetCommState(handle, &dcb);
    ApplyLineFields(dcb, *line);
    if (!SetCommState(handle, &dcb)) {
        CloseHandle(handle);
        return nullptr;
    }
    DWORD errors = 0;
    COMSTAT status{};
    (void)ClearCommError(handle, &errors, &status);
    COMMTIMEOUTS timeouts = CommTimeoutsOf(TimeoutsOf(profile));
    (void)SetCommTimeouts(handle, &timeouts);
    if (const auto queues = QueueSizesFor(profile))
        (void)SetupComm(handle, queues->inputBytes, queues->outputBytes);

    std::unique_ptr<Win32SerialPort> port(new Win32SerialPort(handle, profile));
    if (!port->m_ioEvent || !port->m_waitEvent) return nullptr;
    port->purge();
    // Only received bytes end a wait.
    port->m_eventWaits = SetCommMask(handle, EV_RXCHAR) != 0;
    return port;
}

Win32SerialPort::Win32SerialPort(HANDLE handle, PortProfile profile)
    : m_handle(handle),
      m_profile(profile),
      m_ioEvent(ManualResetEvent()),
      m_waitEvent(ManualResetEvent()) {
    m_wait.hEvent = m_waitEvent;
}

Win32SerialPort::~Win32SerialPort() {
    cancelEventWait();
    CloseHandle(m_handle);
    if (m_ioEvent) CloseHandle(m_ioEvent);
    if (m_waitEvent) CloseHandle(m_waitEvent);
}

std::size_t Win32SerialPort::queuedBytes() {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(m_handle, &errors, &status)) return 0;
    return status.cbInQue;
}

std::size_t Win32SerialPort::readQueued(std::span<std::uint8_t> into) {
    // Asking for no more than is queued makes the read return at once, whatever the
    // profile's read time-outs.
    const std::size_t count = std::min(into.size(), queuedBytes());
    if (count == 0) return 0;
    return transfer(true, into.data(), count);
}

std::size_t Win32SerialPort::write(ByteView bytes) {
    if (bytes.empty()) return 0;
    return transfer(false, const_cast<std::uint8_t*>(bytes.data()), bytes.size());
}

std::size_t Win32SerialPort::transfer(bool reading, void* buffer, std::size_t count) {
    OVERLAPPED io{};
    io.hEvent = m_ioEvent;
    ResetEvent(m_ioEvent);
    const auto size = static_cast<DWORD>(std::min<std::size_t>(count, MAXDWORD));
    const BOOL started = reading ? ReadFile(m_handle, buffer, size, nullptr, &io)
                                 : WriteFile(m_handle, buffer, size, nullptr, &io);
    if (!started && GetLastError() != ERROR_IO_PENDING) return 0;
    DWORD done = 0;
    // The time-outs set at open end the transfer; a failed one still reports what moved.
    (void)GetOverlappedResult(m_handle, &io, &done, TRUE);
    return done;
}

void Win32SerialPort::purge() {
    (void)PurgeComm(m_handle, kPurgeEverything);
}

void Win32SerialPort::waitForInput(std::size_t known, Clock::Duration maxWait) {
    waitForInputOr(known, maxWait, nullptr);
}

void Win32SerialPort::waitForInputOrStop(std::size_t known, Clock::Duration maxWait,
                                         const StopRequest& stop) {
    if (!stop.requested()) waitForInputOr(known, maxWait, static_cast<HANDLE>(stop.event()));
}

namespace {

// Sleeps up to `waitMs`, or until the stop event (if any) is signalled.
void SleepOrStop(HANDLE stopEvent, DWORD waitMs) {
    if (stopEvent == nullptr) {
        Sleep(waitMs);
    } else {
        (void)WaitForSingleObject(stopEvent, waitMs);
    }
}

}  // namespace

void Win32SerialPort::waitForInputOr(std::size_t known, Clock::Duration maxWait, HANDLE stopEvent) {
    const DWORD waitMs = WaitMilliseconds(maxWait);
    if (!m_eventWaits) {
        SleepOrStop(stopEvent, std::min(waitMs, kLookAgainMs));
        return;
    }
    if (!m_waitPending) {
        ResetEvent(m_waitEvent);
        m_eventMask = 0;
        if (WaitCommEvent(m_handle, &m_eventMask, &m_wait)) {
            noteWaitEnded();
            return;
        }
        if (GetLastError() != ERROR_IO_PENDING) {
            m_eventWaits = false;
            SleepOrStop(stopEvent, std::min(waitMs, kLookAgainMs));
            return;
        }
        m_waitPending = true;
    }
    // A byte that arrived after the caller counted but before the wait began raises no event.
    if (queuedBytes() > known) return;
    // A stop leaves the receive-event wait pending; the next wait or the close takes it up.
    const HANDLE events[2]{m_waitEvent, stopEvent};
    const DWORD count = stopEvent == nullptr ? 1 : 2;
    if (WaitForMultipleObjects(count, events, FALSE, waitMs) != WAIT_OBJECT_0) return;
    DWORD ignored = 0;
    (void)GetOverlappedResult(m_handle, &m_wait, &ignored, FALSE);
    m_waitPending = false;
    noteWaitEnded();
}

void Win32SerialPort::noteWaitEnded() {
    // Only a changed event mask ends a wait without an event, and this port changes it only
    // when it closes. A driver whose waits end empty cannot tell when bytes come in (Wine's,
    // on a line without modem lines): look at the queue every few milliseconds instead.
    if (m_eventMask == 0) m_eventWaits = false;
}

void Win32SerialPort::cancelEventWait() {
    if (!m_waitPending) return;
    // An empty event mask completes a pending wait; the structure must outlive it.
    (void)SetCommMask(m_handle, 0);
    DWORD ignored = 0;
    if (WaitForSingleObject(m_waitEvent, kWaitEndMs) != WAIT_OBJECT_0) {
        (void)CancelIoEx(m_handle, &m_wait);
    }
    (void)GetOverlappedResult(m_handle, &m_wait, &ignored, TRUE);
    m_waitPending = false;
}

PortHandle Win32PortOpener::open(const LinkSettings& settings, PortProfile profile) {
    const std::optional<std::string> device = ComDevicePath(settings.portNumber);
    if (!device) return nullptr;
    return Win32SerialPort::Open(*device, settings.baudRate, profile);
}

std::string Win32PortOpener::failureReason(const LinkSettings& settings) {
    return PortOpenFailureReason(settings);
}

// Windows names its ports COMn itself, so no reason points to a chooser.
std::unique_ptr<PortOpener> MakeSystemPortOpener(PortChooser) {
    return std::make_unique<Win32PortOpener>();
}

PortHandle OpenSerialDevice(const std::filesystem::path& device, std::int32_t baudRate,
                            PortProfile profile) {
    return Win32SerialPort::Open(device.string(), baudRate, profile);
}

std::string_view PortOptionHelp() {
    return "  --port N         port number: COMN; default 1\n";
}

}  // namespace tavolex
