// The simulated temperature scanner: its probes and channel bindings, offsets, clock,
// recording interval and stored records, PT100 parameters and firmware version, and the
// reply it gives to every request of the protocol.
//
// The model is not thread-safe; PtyHost serialises access to it. It never waits: the
// instrument's time comes from the injected wall clock, and the records the instrument logs
// by itself are caught up lazily whenever a request is handled or advance() is called.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "DeviceClock.h"
#include "FaultPlan.h"
#include "Frame.h"
#include "ProbeSerial.h"
#include "RequestParser.h"
#include "TemperatureField.h"
#include "TenthDegree.h"

namespace tavolex::sim {

using WallClock = std::function<std::chrono::system_clock::time_point()>;

inline constexpr int kDigitalChannels = 64;
inline constexpr int kPt100Channels = 4;
inline constexpr int kMaxProbesRegisteredPerPort = 32;
inline constexpr std::uint8_t kFirmwareVersion = 32;  // version 3.2
inline constexpr int kMinIntervalMinutes = 1;
inline constexpr int kMaxIntervalMinutes = 60;

// The instrument's two probe ports, numbered as on the wire.
enum class ProbePort : std::uint8_t { A = 1, B = 2 };

// The probe a channel is registered to, and the port it was registered on.
struct Binding {
    ProbePort port = ProbePort::A;
    ProbeSerial serial{};
    bool operator==(const Binding&) const = default;
};

struct Pt100Parameters {
    std::uint8_t zeroPointAd = 0;
    std::uint16_t resistor1Ad = 0;
    std::uint16_t resistor2Ad = 0;
};

// One record the instrument logged by itself.
struct StoredRecord {
    TimestampBytes stamp{};
    std::array<TenthDegree, kPt100Channels> pt100{};
    std::array<TenthDegree, kDigitalChannels> digital{};
};

// The temperature words of one reply to read-temperatures (PT100 1-4, then the digital
// channels up to the signal count), as the model built it. A host that altered or withheld
// the reply records the fault here, so tests can tell what actually reached the line.
struct SentReading {
    std::chrono::system_clock::time_point wallTime;
    std::vector<TenthDegree> words;
    std::vector<FaultKind> faults;
};

struct ModelOptions {
    std::uint64_t seed = 1;
    std::optional<std::uint8_t> address;  // none: answer every address
    int signalCount = kDigitalChannels;
    int intervalMinutes = 1;
    int probesOnPortA = 32;
    int probesOnPortB = 32;
    std::size_t recordCapacity = 2000;
    std::size_t historyCapacity = 10000;
};

class InstrumentModel {
public:
    // With probes plugged on both ports and channel k bound to the k-th of them, port A's
    // first. The instrument's clock starts at the host's local time.
    explicit InstrumentModel(ModelOptions options = {}, WallClock wallClock = {});

    // The reply frame to a request, or none where the instrument stays silent (another
    // device's address, an unknown code, a payload the command does not take).
    std::optional<Bytes> handle(const Request& request);

    // Logs the records whose interval boundaries the instrument's clock has passed.
    void advance();

    // Address filter.
    std::optional<std::uint8_t> address() const { return m_address; }
    void setAddress(std::optional<std::uint8_t> address) { m_address = address; }

    // Signal count (0 to 64): how many digital channels read-temperatures reports.
    int signalCount() const { return m_signalCount; }
    void setSignalCount(int count);

    // Probes plugged into the ports. Each port has its own endless, seeded sequence of
    // probes; setPluggedCount plugs exactly the first count of them.
    const std::vector<ProbeSerial>& pluggedProbes(ProbePort port) const;
    void setPluggedCount(ProbePort port, int count);
    void plugProbe(ProbePort port, const ProbeSerial& serial);
    bool unplugProbe(ProbePort port, const ProbeSerial& serial);
    // The index-th probe of the port's sequence, plugged or not.
    ProbeSerial probeOfPort(ProbePort port, int index) const;

    // Channel bindings, channels 1 to 64.
    std::optional<Binding> binding(int channel) const;
    void bind(int channel, const Binding& binding);
    void unbind(int channel);
    void wipeBindings();

    // Offsets in tenths of a degree (the wire carries one signed byte).
    int digitalOffset(int channel) const;  // channels 1 to 64
    void setDigitalOffset(int channel, int tenths);
    int pt100Offset(int index) const;  // PT100 channels 0 to 3
    void setPt100Offset(int index, int tenths);

    // The words read-temperatures would send now, offsets included. A digital channel whose
    // probe is unbound or not plugged reads kNoProbe.
    std::vector<TenthDegree> currentTemperatures() const;
    static constexpr TenthDegree kNoProbe{};

    // What read-temperatures replies carried, oldest first, bounded by historyCapacity.
    const std::deque<SentReading>& sentReadings() const { return m_sentReadings; }
    void noteLastReadingFault(FaultKind kind);
    void clearSentReadings() { m_sentReadings.clear(); }

    // The instrument's clock.
    CivilTime instrumentTime() const;
    void setInstrumentTime(CivilTime time);

    // Autonomous recording.
    int intervalMinutes() const { return m_intervalMinutes; }
    bool setIntervalMinutes(int minutes);  // false, unchanged, outside 1 to 60
    const std::vector<StoredRecord>& records() const { return m_records; }
    std::size_t recordCapacity() const { return m_recordCapacity; }
    void setRecordCapacity(std::size_t capacity) { m_recordCapacity = capacity; }
    // Adds up to count records stamped at the latest past interval boundaries, as if the
    // instrument had been logging before.
    void preloadRecords(std::size_t count);
    void deleteRecords() { m_records.clear(); }

    // PT100 calibration state, channels 0 to 3.
    Pt100Parameters pt100Parameters(int channel) const;
    // The resistor code of the last low-temperature calibration that was accepted.
    std::optional<std::uint8_t> lastLowTemperatureCalibration() const { return m_lastCalibration; }

private:
    using Data = std::optional<Bytes>;

    Data setSignalCountCommand(ByteView payload);
    Data registerSemiAutomatic(ByteView payload);
    Data readProbeSn(ByteView payload);
    Data registerManual(ByteView payload);
    int registerFullyAutomatic();  // the number of probes found
    Data readPt100Temperatures();
    Data readPt100ParametersOrVersion(ByteView payload);
    Data calibrate(ByteView payload);
    Data setOffset(ByteView payload);
    Data readTemperatures();
    Data readOffsets() const;
    Data readClock() const;
    Data setClock(ByteView payload);
    Data storedRecords(ByteView payload) const;
    Data setRecordingInterval(ByteView payload);

    std::chrono::system_clock::time_point wallNow() const { return m_wallClock(); }
    TenthDegree pt100At(int index, std::chrono::system_clock::time_point instant) const;
    TenthDegree digitalAt(int channel, std::chrono::system_clock::time_point instant) const;
    bool isPlugged(const Binding& binding) const;
    StoredRecord recordAt(CivilTime boundary) const;
    CivilTime latestBoundary(CivilTime time) const;
    void restartRecordingSchedule();
    std::vector<ProbeSerial>& plugged(ProbePort port);

    WallClock m_wallClock;
    std::uint64_t m_seed;
    TemperatureField m_field;
    std::mt19937_64 m_random;
    std::optional<std::uint8_t> m_address;
    int m_signalCount = kDigitalChannels;
    std::array<std::vector<ProbeSerial>, 2> m_plugged;
    std::array<std::optional<Binding>, kDigitalChannels> m_bindings;
    std::array<std::int8_t, kDigitalChannels> m_digitalOffsets{};
    std::array<std::int8_t, kPt100Channels> m_pt100Offsets{};
    std::array<Pt100Parameters, kPt100Channels> m_pt100{};
    std::optional<std::uint8_t> m_lastCalibration;
    std::chrono::seconds m_clockOffset{0};  // instrument civil time minus wall time
    int m_intervalMinutes = 1;
    CivilTime m_lastBoundary;
    std::vector<StoredRecord> m_records;
    std::size_t m_recordCapacity;
    std::deque<SentReading> m_sentReadings;
    std::size_t m_historyCapacity;
};

}  // namespace tavolex::sim
