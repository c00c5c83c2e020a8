#include "InstrumentModel.h"

#include <algorithm>
#include <utility>

#include "Commands.h"
#include "Mixing.h"

namespace tavolex::sim {

namespace chr = std::chrono;

namespace {

constexpr std::size_t kProbeReplySize = 9;  // port byte and serial number
constexpr std::size_t kRecordReplySize = 7 + 2 * (kPt100Channels + kDigitalChannels);
constexpr std::uint8_t kStatusOk = 0;

// Sensor keys of the temperature field: PT100 channels get small keys, probes the bits of
// their serial number, so a probe keeps its temperature whichever channel it is bound to.
constexpr std::uint64_t kPt100SensorKey = 0x100;

std::uint64_t SensorKey(const ProbeSerial& serial) {
    std::uint64_t key = 0;
    for (std::uint8_t byte : serial)
        key = key << 8 | byte;
    return key;
}

void AppendWord(Bytes& data, std::uint16_t word) {
    data.push_back(static_cast<std::uint8_t>(word >> 8));
    data.push_back(static_cast<std::uint8_t>(word & 0xFF));
}

std::int8_t ClampOffset(int tenths) {
    return static_cast<std::int8_t>(std::clamp(tenths, -128, 127));
}

// The PT100 parameter reply carries its offset as sign and magnitude (bit 7 the sign),
// unlike the two's-complement offsets of read-offsets.
std::uint8_t SignMagnitude(int tenths) {
    const int magnitude = std::min(tenths < 0 ? -tenths : tenths, 0x7F);
    return static_cast<std::uint8_t>((tenths < 0 ? 0x80 : 0x00) | magnitude);
}

// Nominal calibration readings of the PT100 front end; a calibration measures them again with
// a little scatter.
constexpr int kNominalZeroAd = 112;
constexpr int kNominalResistor1Ad = 12400;
constexpr int kNominalResistor2Ad = 30800;

Pt100Parameters NominalParameters(int channel, int zeroJitter, int jitter1, int jitter2) {
    return Pt100Parameters{
        static_cast<std::uint8_t>(kNominalZeroAd + 3 * channel + zeroJitter),
        static_cast<std::uint16_t>(kNominalResistor1Ad + 37 * channel + jitter1),
        static_cast<std::uint16_t>(kNominalResistor2Ad + 41 * channel + jitter2)};
}

int Scatter(std::uint64_t bits, int spread) {
    return static_cast<int>(bits % static_cast<std::uint64_t>(2 * spread + 1)) - spread;
}

}  // namespace

InstrumentModel::InstrumentModel(ModelOptions options, WallClock wallClock)
    : m_wallClock(wallClock ? std::move(wallClock)
                            : WallClock([] { return chr::system_clock::now(); })),
      m_seed(options.seed),
      m_field(options.seed),
      m_random(Mix64(options.seed, 0xCA11B)),
      m_address(options.address),
      m_recordCapacity(options.recordCapacity),
      m_historyCapacity(options.historyCapacity) {
    setSignalCount(options.signalCount);
    m_intervalMinutes =
        std::clamp(options.intervalMinutes, kMinIntervalMinutes, kMaxIntervalMinutes);
    setPluggedCount(ProbePort::A, options.probesOnPortA);
    setPluggedCount(ProbePort::B, options.probesOnPortB);
    registerFullyAutomatic();
    for (int channel = 0; channel < kPt100Channels; ++channel) {
        const std::uint64_t bits = Mix64(m_seed, 0x5000 + static_cast<std::uint64_t>(channel));
        m_pt100[channel] = NominalParameters(channel, Scatter(bits, 3), Scatter(bits >> 16, 20),
                                             Scatter(bits >> 32, 20));
    }
    const auto now = wallNow();
    m_clockOffset = LocalCivilTime(now) - chr::floor<chr::seconds>(now);
    restartRecordingSchedule();
}

std::optional<Bytes> InstrumentModel::handle(const Request& request) {
    advance();
    if (m_address && request.address != *m_address) return std::nullopt;

    const ByteView payload = request.payload;
    const bool none = payload.empty();
    Data data;
    switch (request.code) {
        case command::kSetSignalCount:
            data = setSignalCountCommand(payload);
            break;
        case command::kRegisterSemiAutomatic:
            data = registerSemiAutomatic(payload);
            break;
        case command::kReadProbeSn:
            data = readProbeSn(payload);
            break;
        case command::kRegisterManual:
            data = registerManual(payload);
            break;
        case command::kRegisterFullyAutomatic:
            if (none) data = Bytes{static_cast<std::uint8_t>(registerFullyAutomatic())};
            break;
        case command::kReadPt100Temperatures:
            if (none) data = readPt100Temperatures();
            break;
        case command::kReadPt100ParametersOrVersion:
            data = readPt100ParametersOrVersion(payload);
            break;
        case command::kCalibrate:
            data = calibrate(payload);
            break;
        case command::kSetOffset:
            data = setOffset(payload);
            break;
        case command::kReadTemperatures:
            if (none) data = readTemperatures();
            break;
        case command::kReadOffsets:
            if (none) data = readOffsets();
            break;
        case command::kReadClock:
            if (none) data = readClock();
            break;
        case command::kSetClock:
            data = setClock(payload);
            break;
        case command::kStoredRecords:
            data = storedRecords(payload);
            break;
        case command::kSetRecordingInterval:
            data = setRecordingInterval(payload);
            break;
        case command::kReadRecordingInterval:
            if (none) data = Bytes{static_cast<std::uint8_t>(m_intervalMinutes)};
            break;
        case command::kDeleteRecords:
            if (none) {
                deleteRecords();
                data = Bytes{kStatusOk};
            }
            break;
        case command::kWipeIds:
            if (none) {
                wipeBindings();
                data = Bytes{kStatusOk};
            }
            break;
        default:
            break;  // codes outside the catalogue get no reply
    }
    if (!data) return std::nullopt;
    return ReplyFrame(request.address, request.code, *data);
}

// --- commands ---------------------------------------------------------------------------

InstrumentModel::Data InstrumentModel::setSignalCountCommand(ByteView payload) {
    if (payload.size() != 1) return std::nullopt;
    setSignalCount(payload[0]);
    return Bytes{static_cast<std::uint8_t>(m_signalCount)};
}

InstrumentModel::Data InstrumentModel::registerSemiAutomatic(ByteView payload) {
    if (payload.size() != 2) return std::nullopt;
    const std::uint8_t port = payload[0];
    const int channel = payload[1];
    Bytes data(kProbeReplySize, 0x00);
    if (channel == 0 || channel > kDigitalChannels) return data;  // refused channel: all 0x00

    // The search succeeds only when exactly one probe hangs on the named port.
    if (port == 1 || port == 2) {
        const auto& probes = pluggedProbes(static_cast<ProbePort>(port));
        if (probes.size() == 1) {
            bind(channel, Binding{static_cast<ProbePort>(port), probes.front()});
            data[0] = port;
            std::copy(probes.front().begin(), probes.front().end(), data.begin() + 1);
            return data;
        }
    }
    std::fill(data.begin() + 1, data.end(), 0xFF);  // no valid serial number found
    return data;
}

InstrumentModel::Data InstrumentModel::readProbeSn(ByteView payload) {
    if (payload.size() != 1) return std::nullopt;
    const int channel = payload[0];
    Bytes data(kProbeReplySize, 0x00);
    if (channel == 0 || channel > kDigitalChannels) return data;
    const auto& bound = m_bindings[channel - 1];
    if (!bound) {
        std::fill(data.begin() + 1, data.end(), 0xFF);
        return data;
    }
    data[0] = static_cast<std::uint8_t>(bound->port);
    std::copy(bound->serial.begin(), bound->serial.end(), data.begin() + 1);
    return data;
}

InstrumentModel::Data InstrumentModel::registerManual(ByteView payload) {
    if (payload.size() != 2 + std::tuple_size_v<ProbeSerial>) return std::nullopt;
    const std::uint8_t port = payload[0];
    const int channel = payload[1];
    ProbeSerial serial{};
    std::copy(payload.begin() + 2, payload.end(), serial.begin());

    constexpr std::uint8_t kBadChannel = 1, kBadSerial = 2, kBadPort = 3;
    if (channel == 0 || channel > kDigitalChannels) return Bytes{kBadChannel};
    if (!IsRegistrableSerial(serial)) return Bytes{kBadSerial};
    if (port != 1 && port != 2) return Bytes{kBadPort};
    bind(channel, Binding{static_cast<ProbePort>(port), serial});
    return Bytes{kStatusOk};
}

int InstrumentModel::registerFullyAutomatic() {
    wipeBindings();
    int channel = 1;
    for (ProbePort port : {ProbePort::A, ProbePort::B}) {
        const auto& probes = pluggedProbes(port);
        const int taken =
            std::min<int>(static_cast<int>(probes.size()), kMaxProbesRegisteredPerPort);
        for (int i = 0; i < taken && channel <= kDigitalChannels; ++i) {
            bind(channel++, Binding{port, probes[static_cast<std::size_t>(i)]});
        }
    }
    const std::size_t found =
        pluggedProbes(ProbePort::A).size() + pluggedProbes(ProbePort::B).size();
    return static_cast<int>(std::min<std::size_t>(found, 0xFF));
}

InstrumentModel::Data InstrumentModel::readPt100Temperatures() {
    const auto now = wallNow();
    Bytes data;
    for (int i = 0; i < kPt100Channels; ++i)
        AppendWord(data, pt100At(i, now).raw());
    return data;
}

InstrumentModel::Data InstrumentModel::readPt100ParametersOrVersion(ByteView payload) {
    if (payload.empty()) return Bytes{kFirmwareVersion};
    if (payload.size() != 1 || payload[0] >= kPt100Channels) return std::nullopt;
    const int channel = payload[0];
    const Pt100Parameters& p = m_pt100[channel];
    Bytes data{p.zeroPointAd, SignMagnitude(m_pt100Offsets[channel]), 0x00};
    AppendWord(data, p.resistor1Ad);
    AppendWord(data, p.resistor2Ad);
    return data;
}

InstrumentModel::Data InstrumentModel::calibrate(ByteView payload) {
    if (payload.size() == 1) {
        // Low-temperature probe calibration with one of the three reference resistors.
        const std::uint8_t code = payload[0];
        const bool known = code >= 1 && code <= 3;
        if (known) m_lastCalibration = code;
        return Bytes{static_cast<std::uint8_t>(known ? 0 : 1), code};
    }
    if (payload.size() != 2) return std::nullopt;
    const int kind = payload[0];
    const int channel = payload[1];
    if (kind < 1 || kind > 3 || channel >= kPt100Channels) return std::nullopt;

    // A calibration step measures its reference again: the nominal reading plus scatter.
    const Pt100Parameters fresh = NominalParameters(
        channel, Scatter(m_random(), 3), Scatter(m_random(), 20), Scatter(m_random(), 20));
    Pt100Parameters& stored = m_pt100[channel];
    switch (kind) {
        case 1:
            stored.zeroPointAd = fresh.zeroPointAd;
            return Bytes{stored.zeroPointAd, 0x00};
        case 2:
            stored.resistor1Ad = fresh.resistor1Ad;
            break;
        default:
            stored.resistor2Ad = fresh.resistor2Ad;
            break;
    }
    Bytes data;
    AppendWord(data, kind == 2 ? stored.resistor1Ad : stored.resistor2Ad);
    return data;
}

InstrumentModel::Data InstrumentModel::setOffset(ByteView payload) {
    if (payload.size() != 3) return std::nullopt;
    constexpr std::uint8_t kPt100Type = 1, kDigitalType = 2, kBadTypeOrIndex = 1;
    const std::uint8_t type = payload[0];
    const int index = payload[1];
    const int tenths = static_cast<std::int8_t>(payload[2]);
    if (type == kPt100Type && index < kPt100Channels) {
        m_pt100Offsets[index] = ClampOffset(tenths);
    } else if (type == kDigitalType && index < kDigitalChannels) {
        m_digitalOffsets[index] = ClampOffset(tenths);
    } else {
        return Bytes{kBadTypeOrIndex};
    }
    return Bytes{kStatusOk};
}

InstrumentModel::Data InstrumentModel::readTemperatures() {
    std::vector<TenthDegree> words = currentTemperatures();
    Bytes data;
    data.reserve(2 * words.size());
    for (TenthDegree word : words)
        AppendWord(data, word.raw());
    if (m_historyCapacity > 0) {
        if (m_sentReadings.size() >= m_historyCapacity) m_sentReadings.pop_front();
        m_sentReadings.push_back(SentReading{wallNow(), std::move(words), {}});
    }
    return data;
}

InstrumentModel::Data InstrumentModel::readOffsets() const {
    Bytes data;
    for (std::int8_t offset : m_digitalOffsets)
        data.push_back(static_cast<std::uint8_t>(offset));
    for (std::int8_t offset : m_pt100Offsets)
        data.push_back(static_cast<std::uint8_t>(offset));
    return data;
}

InstrumentModel::Data InstrumentModel::readClock() const {
    const TimestampBytes stamp = EncodeTimestamp(instrumentTime());
    return Bytes(stamp.begin(), stamp.end());
}

InstrumentModel::Data InstrumentModel::setClock(ByteView payload) {
    if (payload.size() != std::tuple_size_v<TimestampBytes>) return std::nullopt;
    const auto time = DecodeTimestamp(payload.first<7>());
    if (!time) return Bytes{1};
    setInstrumentTime(*time);
    return Bytes{kStatusOk};
}

InstrumentModel::Data InstrumentModel::storedRecords(ByteView payload) const {
    if (payload.size() != 1) return std::nullopt;
    const std::size_t number = payload[0];
    if (number == 0) {
        Bytes data;
        AppendWord(data,
                   static_cast<std::uint16_t>(std::min<std::size_t>(m_records.size(), 0xFFFF)));
        return data;
    }
    if (number > m_records.size()) return Bytes(kRecordReplySize, 0x00);
    const StoredRecord& record = m_records[number - 1];
    Bytes data(record.stamp.begin(), record.stamp.end());
    for (TenthDegree word : record.pt100)
        AppendWord(data, word.raw());
    for (TenthDegree word : record.digital)
        AppendWord(data, word.raw());
    return data;
}

InstrumentModel::Data InstrumentModel::setRecordingInterval(ByteView payload) {
    if (payload.size() != 1) return std::nullopt;
    return Bytes{static_cast<std::uint8_t>(setIntervalMinutes(payload[0]) ? kStatusOk : 1)};
}

// --- state ------------------------------------------------------------------------------

void InstrumentModel::setSignalCount(int count) {
    m_signalCount = std::clamp(count, 0, kDigitalChannels);
}

const std::vector<ProbeSerial>& InstrumentModel::pluggedProbes(ProbePort port) const {
    return m_plugged[port == ProbePort::A ? 0 : 1];
}

std::vector<ProbeSerial>& InstrumentModel::plugged(ProbePort port) {
    return m_plugged[port == ProbePort::A ? 0 : 1];
}

ProbeSerial InstrumentModel::probeOfPort(ProbePort port, int index) const {
    return MakeProbeSerial(m_seed, static_cast<int>(port), index);
}

void InstrumentModel::setPluggedCount(ProbePort port, int count) {
    auto& probes = plugged(port);
    probes.clear();
    for (int i = 0; i < count; ++i)
        probes.push_back(probeOfPort(port, i));
}

void InstrumentModel::plugProbe(ProbePort port, const ProbeSerial& serial) {
    auto& probes = plugged(port);
    if (std::find(probes.begin(), probes.end(), serial) == probes.end()) probes.push_back(serial);
}

bool InstrumentModel::unplugProbe(ProbePort port, const ProbeSerial& serial) {
    auto& probes = plugged(port);
    const auto found = std::find(probes.begin(), probes.end(), serial);
    if (found == probes.end()) return false;
    probes.erase(found);
    return true;
}

std::optional<Binding> InstrumentModel::binding(int channel) const {
    if (channel < 1 || channel > kDigitalChannels) return std::nullopt;
    return m_bindings[channel - 1];
}

void InstrumentModel::bind(int channel, const Binding& binding) {
    if (channel >= 1 && channel <= kDigitalChannels) m_bindings[channel - 1] = binding;
}

void InstrumentModel::unbind(int channel) {
    if (channel >= 1 && channel <= kDigitalChannels) m_bindings[channel - 1].reset();
}

void InstrumentModel::wipeBindings() {
    m_bindings.fill(std::nullopt);
}

int InstrumentModel::digitalOffset(int channel) const {
    return channel >= 1 && channel <= kDigitalChannels ? m_digitalOffsets[channel - 1] : 0;
}

void InstrumentModel::setDigitalOffset(int channel, int tenths) {
    if (channel >= 1 && channel <= kDigitalChannels)
        m_digitalOffsets[channel - 1] = ClampOffset(tenths);
}

int InstrumentModel::pt100Offset(int index) const {
    return index >= 0 && index < kPt100Channels ? m_pt100Offsets[index] : 0;
}

void InstrumentModel::setPt100Offset(int index, int tenths) {
    if (index >= 0 && index < kPt100Channels) m_pt100Offsets[index] = ClampOffset(tenths);
}

Pt100Parameters InstrumentModel::pt100Parameters(int channel) const {
    return channel >= 0 && channel < kPt100Channels ? m_pt100[channel] : Pt100Parameters{};
}

bool InstrumentModel::isPlugged(const Binding& binding) const {
    const auto& probes = pluggedProbes(binding.port);
    return std::find(probes.begin(), probes.end(), binding.serial) != probes.end();
}

TenthDegree InstrumentModel::pt100At(int index, chr::system_clock::time_point instant) const {
    const std::uint64_t key = kPt100SensorKey + static_cast<std::uint64_t>(index);
    return TenthDegree::FromTenths(m_field.tenthsAt(key, instant) + m_pt100Offsets[index]);
}

// Only the channels within the signal count are served; a channel reads a temperature only
// while its registered probe is plugged into the port it was registered on.
TenthDegree InstrumentModel::digitalAt(int channel, chr::system_clock::time_point instant) const {
    const auto& bound = m_bindings[channel - 1];
    if (channel > m_signalCount || !bound || !isPlugged(*bound)) return kNoProbe;
    return TenthDegree::FromTenths(m_field.tenthsAt(SensorKey(bound->serial), instant) +
                                   m_digitalOffsets[channel - 1]);
}

std::vector<TenthDegree> InstrumentModel::currentTemperatures() const {
    const auto now = wallNow();
    std::vector<TenthDegree> words;
    words.reserve(kPt100Channels + static_cast<std::size_t>(m_signalCount));
    for (int i = 0; i < kPt100Channels; ++i)
        words.push_back(pt100At(i, now));
    for (int channel = 1; channel <= m_signalCount; ++channel)
        words.push_back(digitalAt(channel, now));
    return words;
}

void InstrumentModel::noteLastReadingFault(FaultKind kind) {
    if (!m_sentReadings.empty()) m_sentReadings.back().faults.push_back(kind);
}

// --- clock and records ------------------------------------------------------------------

CivilTime InstrumentModel::instrumentTime() const {
    return chr::floor<chr::seconds>(wallNow()) + m_clockOffset;
}

void InstrumentModel::setInstrumentTime(CivilTime time) {
    advance();
    m_clockOffset = time - chr::floor<chr::seconds>(wallNow());
    restartRecordingSchedule();
}

bool InstrumentModel::setIntervalMinutes(int minutes) {
    if (minutes < kMinIntervalMinutes || minutes > kMaxIntervalMinutes) return false;
    advance();
    m_intervalMinutes = minutes;
    restartRecordingSchedule();
    return true;
}

// Boundaries are the whole multiples of the interval, counted in minutes of the
// instrument's clock.
CivilTime InstrumentModel::latestBoundary(CivilTime time) const {
    const auto minutes = chr::floor<chr::minutes>(time).time_since_epoch().count();
    auto boundaries = minutes / m_intervalMinutes;
    if (minutes % m_intervalMinutes < 0) --boundaries;  // round toward the past
    return CivilTime{chr::minutes{boundaries * m_intervalMinutes}};
}

void InstrumentModel::restartRecordingSchedule() {
    m_lastBoundary = latestBoundary(instrumentTime());
}

StoredRecord InstrumentModel::recordAt(CivilTime boundary) const {
    const chr::system_clock::time_point instant{(boundary - m_clockOffset).time_since_epoch()};
    StoredRecord record;
    record.stamp = EncodeTimestamp(boundary);
    for (int i = 0; i < kPt100Channels; ++i)
        record.pt100[i] = pt100At(i, instant);
    for (int channel = 1; channel <= kDigitalChannels; ++channel) {
        record.digital[channel - 1] = digitalAt(channel, instant);
    }
    return record;
}

void InstrumentModel::advance() {
    const CivilTime latest = latestBoundary(instrumentTime());
    if (latest <= m_lastBoundary) {
        // The wall clock went back: the schedule follows it rather than waiting it out.
        m_lastBoundary = latest;
        return;
    }
    // At most the free capacity is logged, so a long jump of the clock costs bounded work;
    // the instrument stops logging once it is full.
    const chr::minutes step{m_intervalMinutes};
    for (CivilTime boundary = m_lastBoundary + step;
         boundary <= latest && m_records.size() < m_recordCapacity; boundary += step) {
        m_records.push_back(recordAt(boundary));
    }
    m_lastBoundary = latest;
}

void InstrumentModel::preloadRecords(std::size_t count) {
    advance();
    const std::size_t room = m_recordCapacity - std::min(m_recordCapacity, m_records.size());
    count = std::min(count, room);
    // The preloaded records end just before the oldest record held, or at the boundary just
    // passed when there is none.
    const chr::minutes step{m_intervalMinutes};
    CivilTime newest = m_lastBoundary;
    if (!m_records.empty()) {
        const auto oldest = DecodeTimestamp(m_records.front().stamp);
        if (oldest) newest = latestBoundary(*oldest - chr::seconds{1});
    }
    std::vector<StoredRecord> earlier;
    earlier.reserve(count);
    for (std::size_t i = count; i-- > 0;) {
        earlier.push_back(recordAt(newest - step * static_cast<int>(i)));
    }
    m_records.insert(m_records.begin(), earlier.begin(), earlier.end());
}

}  // namespace tavolex::sim
