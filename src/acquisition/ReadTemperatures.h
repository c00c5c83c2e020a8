// The read-temperatures exchange (command 0x0B) on an open port: a 7-byte header whose length
// field announces 4 to 68 words, then the words and the checksum.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ErrorLog.h"
#include "LinkContext.h"
#include "Operation.h"
#include "SerialPort.h"
#include "TemperatureReply.h"

namespace tavolex {

inline constexpr std::uint32_t kTemperatureWaitMs = 3000;

enum class ReadFailure { None, ShortHeader, BadWordCount, ShortBody, BadChecksum };

struct ReadOutcome {
    ReadFailure failure = ReadFailure::None;
    // Bytes of the reply that arrived, from the start of the buffer.
    std::size_t received = 0;
    bool ok() const { return failure == ReadFailure::None; }
};

// Sends the request and reads the reply into `reply`; the port stays open.
ReadOutcome ReadTemperatureReply(SerialPort& port, std::uint8_t address, TemperatureReply& reply,
                                 const LinkContext& link);

// One reading of every channel through the settings' port. The operator is told why there is
// none: "打开串口错误!" with the reason, or "返回数据错误!", with the likely cause when not a byte
// came back; the port is closed before either is shown.
Outcome<TemperatureReply> ReadTemperaturesOnce(OperationContext& context);

// The interactive reading: success or failure, nothing else.
bool ReadTemperatures(SerialPort& port, std::uint8_t address, TemperatureReply& reply,
                      const LinkContext& link);

// The acquisition worker's reading on the port it holds: bytes left queued by an earlier reply
// are discarded before the request; a failure also purges the port and appends the bytes
// received to the communication error log (unless the reading was cut short by a stop).
bool ReadTemperaturesLogged(SerialPort& port, std::uint8_t address, TemperatureReply& reply,
                            const LinkContext& link, const ErrorLogFile& log);

// The error-log text of a failure.
std::string_view FailureLogText(ReadFailure failure);

}  // namespace tavolex
