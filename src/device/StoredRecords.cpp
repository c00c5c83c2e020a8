#include "StoredRecords.h"

#include "Commands.h"
#include "DedicatedExchange.h"
#include "DeviceExchange.h"
#include "PortOpenFailure.h"
#include "PortWaits.h"
#include "Translate.h"

namespace tavolex {

namespace {

constexpr std::size_t kPt100Offset = kReplyDataOffset + DeviceTimestamp::kSize;
constexpr std::size_t kDigitalOffset = kPt100Offset + 2 * StoredRecord::kPt100Channels;

Bytes RecordRequest(std::uint8_t address, std::uint8_t number) {
    return RequestFrame(address, command::kStoredRecords, Bytes{number});
}

TenthDegree WordAt(ByteView reply, std::size_t offset) {
    return TenthDegree(BigEndian16(reply, offset));
}

}  // namespace

StoredRecord StoredRecord::FromReply(ByteView reply) {
    StoredRecord record;
    record.stamp = DeviceTimestamp::FromBytes(reply.subspan(kReplyDataOffset));
    for (std::size_t i = 0; i < kPt100Channels; ++i)
        record.pt100[i] = WordAt(reply, kPt100Offset + 2 * i);
    for (std::size_t i = 0; i < kDigitalChannels; ++i)
        record.digital[i] = WordAt(reply, kDigitalOffset + 2 * i);
    return record;
}

namespace {

// The port with the records profile; null after telling the operator it is missing or in use.
PortHandle OpenRecordsPort(const LinkContext& link, const LinkSettings& settings,
                           Operator& person) {
    PortHandle port = link.ports.open(settings, PortProfile::Records);
    if (!port)
        person.message(OpenFailureMessage(Translate("StoredRecords", kRecordsPortMissing.data()),
                                          link.ports, settings));
    return port;
}

std::optional<int> ReadRecordCount(PortHandle& port, std::uint8_t address, const LinkContext& link,
                                   Operator& person) {
    const ExactReply reply = ExchangeExactly(*port, RecordRequest(address, 0),
                                             kRecordCountReplySize, kRecordWaitMs, link);
    if (reply.status != ExactStatus::Good) {
        port.reset();
        AcceptReply(reply, person, Translate("StoredRecords", "读取失败!"));
        return std::nullopt;
    }
    return BigEndian16(reply.bytes, kReplyDataOffset);
}

}  // namespace

Outcome<RecordCount> CountStoredRecords(OperationContext& context) {
    if (!context.settings().takeSettings()) return context.finish(std::optional<RecordCount>());
    const LinkSettings settings = context.settings().linkSettings();
    PortHandle port = OpenRecordsPort(context.link(), settings, context.person());
    if (!port) return context.finish(std::optional<RecordCount>());
    const std::optional<int> count =
        ReadRecordCount(port, settings.addressByte(), context.link(), context.person());
    if (!count) return context.finish(std::optional<RecordCount>());
    return context.finish(std::optional<RecordCount>(RecordCount{std::move(port), *count}));
}

std::optional<StoredRecord> ReadStoredRecord(SerialPort& port, std::uint8_t address, int number,
                                             const LinkContext& link) {
    port.purge();
    port.write(RecordRequest(address, static_cast<std::uint8_t>(number)));
    const std::uint32_t queued = WaitForBytes(port, kStoredRecordReplySize, kRecordWaitMs, link);
    Bytes reply(kStoredRecordReplySize);
    const std::size_t got = ReadFromPort(port, reply, link);
    if (queued != kStoredRecordReplySize || got != reply.size() || !HasValidChecksum(reply)) {
        return std::nullopt;
    }
    return StoredRecord::FromReply(reply);
}

Outcome<> DeleteStoredRecords(OperationContext& context) {
    if (!context.settings().takeSettings()) return context.finish(false);
    const LinkSettings settings = context.settings().linkSettings();
    const LinkContext& link = context.link();
    Operator& person = context.person();
    PortHandle port = OpenRecordsPort(link, settings, person);
    if (!port) return context.finish(false);
    const ExactReply reply =
        ExchangeExactly(*port, RequestFrame(settings.addressByte(), command::kDeleteRecords),
                        kDeleteRecordsReplySize, kDeleteRecordsWaitMs, link);
    port.reset();
    const bool deleted = reply.status == ExactStatus::Good;
    person.message(deleted ? Translate("StoredRecords", "记录已全部删除!")
                           : Translate("StoredRecords", "校验出错!"));
    return context.finish(deleted);
}

}  // namespace tavolex
