// The generic transaction: open the port with the operation's settings, send one request, wait
// by the command's row of a wait table, read whatever is queued, close.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Frame.h"
#include "LinkContext.h"
#include "LinkSettings.h"
#include "Operator.h"
#include "SerialPort.h"
#include "Trace.h"

namespace tavolex {

// Where an operation takes its link settings from: the window's fields, or settings fixed by
// the command line or a test.
class SettingsSource {
public:
    virtual ~SettingsSource() = default;
    // Brings the settings up to date for an operation about to run; false when an entry was
    // refused (its message told already), and the operation stops there with nothing sent.
    virtual bool takeSettings() = 0;
    virtual LinkSettings linkSettings() const = 0;
    // Where exchanged frames are traced while a trace is open, else null.
    virtual TraceTarget* traceTarget() const = 0;
};

// Settings given once, never refused and never traced.
class FixedSettings : public SettingsSource {
public:
    explicit FixedSettings(LinkSettings settings = {}) : m_settings(settings) {}

    bool takeSettings() override { return true; }
    LinkSettings linkSettings() const override { return m_settings; }
    TraceTarget* traceTarget() const override { return nullptr; }

private:
    LinkSettings m_settings;
};

// The port as an operation gets it.
struct MainPort {
    PortHandle port;
    // The settings were refused: the message is told already, and the operation stops
    // without another word.
    bool refused = false;
};

// Takes the settings, then opens their port with the command profile; nothing is opened when
// the settings are refused.
MainPort OpenMainPort(SettingsSource& host, const LinkContext& link);

struct WaitRow {
    std::uint32_t wantedBytes;
    std::uint32_t timeoutMs;
};

enum class WaitTable { Generic, Registration };

WaitRow WaitRowFor(WaitTable table, std::uint8_t code);

inline constexpr std::size_t kReplyBufferSize = 200;
inline constexpr std::uint32_t kPauseAfterRequestMs = 50;

// How a caller sees a transaction's result.
// Refused: the settings were refused and nothing was sent; the caller stops silently.
enum class ReplyStatus { Refused, PortNotOpened, ReadFailed, Received };

struct TransactResult {
    // -1 port not opened, 0 fewer than 9 bytes came back, else the number of reply bytes.
    int count = 0;
    Bytes reply;
    bool refused = false;

    // For a caller that reads reply bytes up to (not including) offset `end`: a reply that
    // stops before them is a read failure, so no field is ever taken from missing bytes.
    ReplyStatus statusFor(std::size_t end) const;
    std::uint8_t at(std::size_t offset) const { return reply.at(offset); }
};

// `replyEnd`: where the caller's last field ends. When the wait table's row waits for fewer
// bytes, the wait goes on, within the row's own time-out, until that many are queued.
// Tells the operator why a transaction gave nothing to read: "打开串口错误!" with the reason on
// a second line when the port did not open, "读数据错误!" when the reply ends before `end`,
// nothing for a refused field. True when the reply holds the bytes wanted.
bool ReplyReceived(const TransactResult& result, std::size_t end, const SettingsSource& host,
                   const LinkContext& link, Operator& person);

TransactResult Transact(SettingsSource& host, const LinkContext& link, std::uint8_t address,
                        ByteView payload, std::uint8_t code, std::size_t replyEnd = 0);
TransactResult TransactForRegistration(SettingsSource& host, const LinkContext& link,
                                       std::uint8_t address, ByteView payload, std::uint8_t code);

}  // namespace tavolex
