// The generic transaction: open the port with the window's settings, send one request, wait
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

// What a transaction needs from the window it runs for.
class TransactionHost {
public:
    virtual ~TransactionHost() = default;
    // Copies the controls into the window values; false when a field was refused.
    virtual bool refresh() = 0;
    virtual LinkSettings linkSettings() const = 0;
    // The trace list while one is open, else null.
    virtual TraceTarget* traceTarget() const = 0;
};

// The main window's port as an operation gets it.
struct MainPort {
    PortHandle port;
    // The window refused a field: its message is shown already, and the operation stops
    // without another word.
    bool refused = false;
};

// Refreshes the window, then opens its port with the command profile; nothing is opened when
// the refresh refuses a field.
MainPort OpenMainPort(TransactionHost& host, const LinkContext& link);

struct WaitRow {
    std::uint32_t wantedBytes;
    std::uint32_t timeoutMs;
};

enum class WaitTable { Generic, Registration };

WaitRow WaitRowFor(WaitTable table, std::uint8_t code);

inline constexpr std::size_t kReplyBufferSize = 200;
inline constexpr std::uint32_t kPauseAfterRequestMs = 50;

// How a caller sees a transaction's result.
// Refused: the window refused a field and nothing was sent; the caller stops silently.
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
bool ReplyReceived(const TransactResult& result, std::size_t end, const TransactionHost& host,
                   const LinkContext& link, Operator& person);

TransactResult Transact(TransactionHost& host, const LinkContext& link, std::uint8_t address,
                        ByteView payload, std::uint8_t code, std::size_t replyEnd = 0);
TransactResult TransactForRegistration(TransactionHost& host, const LinkContext& link,
                                       std::uint8_t address, ByteView payload, std::uint8_t code);

}  // namespace tavolex
