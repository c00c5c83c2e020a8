// The simulated instrument in-process, behind the program's own SerialPort interface: what
// the port is given to send is cut into requests, the model answers them through the fault
// plan, and each reply becomes readable once the line would have carried it (at the line's
// rate, plus any delay a fault adds). All time is the given clock's, so on a manual clock a
// long run costs no real time; waits sleep on that clock.
//
// Not thread-safe: the opener, its ports, the model and the plan belong to one thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>

#include "Clock.h"
#include "FaultPlan.h"
#include "InstrumentModel.h"
#include "RequestParser.h"
#include "SerialPort.h"

namespace tavolex::sim {

class ModelPortOpener;

class ModelPort final : public SerialPort {
public:
    ModelPort(ModelPortOpener& owner, PortProfile profile) : m_owner(owner), m_profile(profile) {}
    ~ModelPort() override;

    PortProfile profile() const override { return m_profile; }
    std::size_t queuedBytes() override;
    std::size_t readQueued(std::span<std::uint8_t> into) override;
    std::size_t write(ByteView bytes) override;
    void purge() override;
    void waitForInput(std::size_t known, Clock::Duration maxWait) override;

private:
    struct Pending {
        Clock::TimePoint due;
        Bytes bytes;
    };

    ModelPortOpener& m_owner;
    PortProfile m_profile;
    RequestParser m_parser;
    std::deque<Pending> m_inFlight;
    std::deque<std::uint8_t> m_queue;
};

// Hands out one ModelPort at a time, like a device opened exclusively.
class ModelPortOpener final : public PortOpener {
public:
    ModelPortOpener(InstrumentModel& model, FaultPlan& faults, Clock& clock)
        : m_model(model), m_faults(faults), m_clock(clock) {}

    PortHandle open(const LinkSettings& settings, PortProfile profile) override;
    bool held() const { return m_held; }
    int opens() const { return m_opens; }

    // How long one byte takes on the line: 10 bits at 9600 bits per second by default.
    std::chrono::nanoseconds byteTime{std::chrono::seconds(10) / 9600};

private:
    friend class ModelPort;

    InstrumentModel& m_model;
    FaultPlan& m_faults;
    Clock& m_clock;
    bool m_held = false;
    int m_opens = 0;
};

}  // namespace tavolex::sim
