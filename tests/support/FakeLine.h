// A scripted instrument line: the ports handed out by FakePortOpener record what is written
// and receive the scripted reply of each request at its scripted time on a ManualClock.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "Frame.h"
#include "LinkContext.h"
#include "ManualClock.h"
#include "SerialPort.h"

namespace tavolex::testing {

using std::chrono::milliseconds;

// Bytes that arrive `after` the request was written.
struct Chunk {
    milliseconds after{0};
    Bytes bytes;
};

class FakeLine {
public:
    explicit FakeLine(ManualClock& clock) : m_clock(clock) {}

    // The next request is answered with these chunks; a request with nothing scripted gets
    // the responder's answer, or none.
    void reply(Bytes bytes, milliseconds after = milliseconds(0)) {
        m_script.push_back({{after, std::move(bytes)}});
    }
    void replyInChunks(std::vector<Chunk> chunks) { m_script.push_back(std::move(chunks)); }
    void silence() { m_script.push_back({}); }
    std::function<std::vector<Chunk>(ByteView request)> responder;

    bool refuseOpen = false;
    // The descriptor its ports offer to sleep on; none by default.
    int descriptor = -1;
    // What the opener says when asked why an open failed, and the settings it was asked for.
    std::string failureReason;
    // What it says when asked why a reading got no byte back.
    std::string noReplyReason;
    LinkSettings reasonAskedFor;
    std::vector<Bytes> written;
    int opens = 0;
    int closes = 0;
    int purges = 0;
    LinkSettings lastSettings;
    PortProfile lastProfile = PortProfile::Command;
    bool held() const { return opens > closes; }

    ManualClock& clock() { return m_clock; }

private:
    friend class FakeSerialPort;
    std::vector<Chunk> answer(ByteView request);

    ManualClock& m_clock;
    std::deque<std::vector<Chunk>> m_script;
};

class FakeSerialPort final : public SerialPort {
public:
    FakeSerialPort(FakeLine& line, PortProfile profile) : m_line(line), m_profile(profile) {}
    ~FakeSerialPort() override { ++m_line.closes; }

    PortProfile profile() const override { return m_profile; }
    std::size_t queuedBytes() override;
    std::size_t readQueued(std::span<std::uint8_t> into) override;
    std::size_t write(ByteView bytes) override;
    void purge() override;
    void waitForInput(std::size_t known, Clock::Duration maxWait) override;
    void waitForInputOrStop(std::size_t known, Clock::Duration maxWait,
                            const StopRequest& stop) override;
    int readableDescriptor() const override { return m_line.descriptor; }

private:
    struct Pending {
        Clock::TimePoint due;
        Bytes bytes;
    };

    FakeLine& m_line;
    PortProfile m_profile;
    std::deque<Pending> m_inFlight;
    std::deque<std::uint8_t> m_queue;
};

// Hands out FakeSerialPorts on one line; like a real device, it refuses a second holder.
class FakePortOpener final : public PortOpener {
public:
    explicit FakePortOpener(FakeLine& line) : m_line(line) {}
    PortHandle open(const LinkSettings& settings, PortProfile profile) override;
    std::string failureReason(const LinkSettings& settings) override {
        m_line.reasonAskedFor = settings;
        return m_line.failureReason;
    }
    std::string noReplyReason(const LinkSettings& settings) override {
        m_line.reasonAskedFor = settings;
        return m_line.noReplyReason;
    }

private:
    FakeLine& m_line;
};

// A LinkContext on the fake line's manual clock.
struct FakeLink {
    explicit FakeLink(FakeLine& line) : opener(line), context{opener, line.clock()} {}
    FakePortOpener opener;
    LinkContext context;
};

}  // namespace tavolex::testing
