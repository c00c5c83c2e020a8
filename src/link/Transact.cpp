#include "Transact.h"

#include <algorithm>
#include <chrono>

#include "Commands.h"
#include "PortOpenFailure.h"
#include "PortWaits.h"
#include "Translate.h"

namespace tavolex {

MainPort OpenMainPort(SettingsSource& host, const LinkContext& link) {
    if (!host.takeSettings()) return {nullptr, true};
    return {link.ports.open(host.linkSettings(), PortProfile::Command), false};
}

WaitRow WaitRowFor(WaitTable table, std::uint8_t code) {
    const bool registration = table == WaitTable::Registration;
    switch (code) {
        case command::kRegisterManual:
            return registration ? WaitRow{10, 500} : WaitRow{17, 3000};
        case command::kRegisterFullyAutomatic:
            return {10, 10000};
        case command::kReadPt100Temperatures:
            return registration ? WaitRow{17, 3000} : WaitRow{10, 1000};
        case command::kReadPt100ParametersOrVersion:
            return {10, 1000};
        case command::kCalibrate:
            return {11, 10000};
        default:
            return {17, 3000};
    }
}

ReplyStatus TransactResult::statusFor(std::size_t end) const {
    if (refused) return ReplyStatus::Refused;
    if (count < 0) return ReplyStatus::PortNotOpened;
    if (count == 0 || reply.size() < end) return ReplyStatus::ReadFailed;
    return ReplyStatus::Received;
}

bool ReplyReceived(const TransactResult& result, std::size_t end, const SettingsSource& host,
                   const LinkContext& link, Operator& person) {
    switch (result.statusFor(end)) {
        case ReplyStatus::Refused:
            return false;
        case ReplyStatus::PortNotOpened:
            person.message(OpenFailureMessage(Translate("Transact", "打开串口错误!"), link.ports,
                                              host.linkSettings()));
            return false;
        case ReplyStatus::ReadFailed:
            person.message(Translate("Transact", "读数据错误!"));
            return false;
        case ReplyStatus::Received:
            break;
    }
    return true;
}

namespace {

TransactResult RunTransaction(WaitTable table, SettingsSource& host, const LinkContext& link,
                              std::uint8_t address, ByteView payload, std::uint8_t code,
                              std::size_t replyEnd) {
    MainPort main = OpenMainPort(host, link);
    if (main.refused) return {-1, {}, true};
    PortHandle& port = main.port;
    if (!port) return {-1, {}};

    const Bytes request = RequestFrame(address, code, payload);
    AddTraceLine(host.traceTarget(), kTraceWritten, request);
    port->write(request);
    link.pause(std::chrono::milliseconds(kPauseAfterRequestMs));

    const WaitRow row = WaitRowFor(table, code);
    const auto wanted = std::max<std::uint32_t>(
        row.wantedBytes, static_cast<std::uint32_t>(std::min(replyEnd, kReplyBufferSize)));
    const std::uint32_t queued = WaitForBytes(*port, wanted, row.timeoutMs, link);
    Bytes reply(std::min<std::size_t>(queued, kReplyBufferSize));
    reply.resize(ReadFromPort(*port, reply, link));
    AddTraceLine(host.traceTarget(), kTraceRead, reply);
    port.reset();

    if (reply.size() < kFrameOverhead) return {0, {}};
    const int count = static_cast<int>(reply.size());
    return {count, std::move(reply)};
}

}  // namespace

TransactResult Transact(SettingsSource& host, const LinkContext& link, std::uint8_t address,
                        ByteView payload, std::uint8_t code, std::size_t replyEnd) {
    return RunTransaction(WaitTable::Generic, host, link, address, payload, code, replyEnd);
}

TransactResult TransactForRegistration(SettingsSource& host, const LinkContext& link,
                                       std::uint8_t address, ByteView payload, std::uint8_t code) {
    return RunTransaction(WaitTable::Registration, host, link, address, payload, code, 0);
}

}  // namespace tavolex
