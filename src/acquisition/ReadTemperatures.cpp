#include "ReadTemperatures.h"

#include <span>

#include "Commands.h"
#include "Frame.h"
#include "PortOpenFailure.h"
#include "PortWaits.h"
#include "Translate.h"

namespace tavolex {

ReadOutcome ReadTemperatureReply(SerialPort& port, std::uint8_t address, TemperatureReply& reply,
                                 const LinkContext& link) {
    port.write(RequestFrame(address, command::kReadTemperatures));
    std::span<std::uint8_t> buffer(reply.bytes);

    WaitForBytes(port, kFrameHeaderSize, kTemperatureWaitMs, link);
    const std::size_t header = ReadFromPort(port, buffer.first(kFrameHeaderSize), link);
    if (header < kFrameHeaderSize) return {ReadFailure::ShortHeader, header};

    const int words = reply.wordCount();
    if (words < kMinTemperatureWords || words > kMaxTemperatureWords) {
        return {ReadFailure::BadWordCount, kFrameHeaderSize};
    }

    const std::size_t rest = 2 * static_cast<std::size_t>(words) + 2;
    WaitForBytes(port, static_cast<std::uint32_t>(rest), kTemperatureWaitMs, link);
    const std::size_t body = ReadFromPort(port, buffer.subspan(kFrameHeaderSize, rest), link);
    const std::size_t received = kFrameHeaderSize + body;
    if (body < rest) return {ReadFailure::ShortBody, received};

    if (!HasValidChecksum(buffer.first(received))) return {ReadFailure::BadChecksum, received};
    return {ReadFailure::None, received};
}

bool ReadTemperatures(SerialPort& port, std::uint8_t address, TemperatureReply& reply,
                      const LinkContext& link) {
    return ReadTemperatureReply(port, address, reply, link).ok();
}

std::string_view FailureLogText(ReadFailure failure) {
    switch (failure) {
        case ReadFailure::ShortHeader:
            return "读错误，要读7个字节，";
        case ReadFailure::BadWordCount:
            return "温度个数错误，";
        case ReadFailure::ShortBody:
            return "读温度错误，";
        case ReadFailure::BadChecksum:
            return "校验错误，";
        case ReadFailure::None:
            break;
    }
    return "";
}

bool ReadTemperaturesLogged(SerialPort& port, std::uint8_t address, TemperatureReply& reply,
                            const LinkContext& link, const ErrorLogFile& log) {
    // Bytes still queued (surplus after the last good reply) would be read as the start of
    // this reply and cost a good reading.
    if (port.queuedBytes() > 0) port.purge();
    const ReadOutcome outcome = ReadTemperatureReply(port, address, reply, link);
    if (outcome.ok()) return true;
    // A reading cut short by a stop request says nothing about the instrument.
    if (link.stopping()) return false;
    port.purge();
    LogCommError(log, FailureLogText(outcome.failure),
                 ByteView(reply.bytes).first(outcome.received));
    return false;
}

Outcome<TemperatureReply> ReadTemperaturesOnce(OperationContext& context) {
    MainPort main = OpenMainPort(context.settings(), context.link());
    if (main.refused) return context.finish(std::optional<TemperatureReply>());
    const LinkSettings settings = context.settings().linkSettings();
    if (!main.port) {
        context.person().message(OpenFailureMessage(Translate("ReadTemperatures", "打开串口错误!"),
                                                    context.link().ports, settings));
        return context.finish(std::optional<TemperatureReply>());
    }
    TemperatureReply reply;
    const ReadOutcome read =
        ReadTemperatureReply(*main.port, settings.addressByte(), reply, context.link());
    main.port.reset();
    if (read.ok()) return context.finish(std::optional<TemperatureReply>(reply));
    const std::string message = Translate("ReadTemperatures", "返回数据错误!");
    // Not a byte back: the line or the device the port number means is the likely cause.
    context.person().message(
        read.received == 0 ? NoReplyMessage(message, context.link().ports, settings) : message);
    return context.finish(std::optional<TemperatureReply>());
}

}  // namespace tavolex
