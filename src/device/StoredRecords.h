// The records the instrument logs by itself: counting them, reading one of them on a port the
// download holds, and deleting them all. The records window opens its own port with the
// records profile and the link settings it was opened with.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "DeviceTimestamp.h"
#include "Frame.h"
#include "LinkContext.h"
#include "LinkSettings.h"
#include "Operation.h"
#include "Operator.h"
#include "SerialPort.h"
#include "TenthDegree.h"
#include "Translate.h"

namespace tavolex {

inline constexpr std::size_t kRecordCountReplySize = 11;
inline constexpr std::size_t kStoredRecordReplySize = 152;
inline constexpr std::size_t kDeleteRecordsReplySize = 10;
inline constexpr std::uint32_t kRecordWaitMs = 1000;
inline constexpr std::uint32_t kDeleteRecordsWaitMs = 10000;
// A record is named by one byte of the request, and 0 asks for the count instead, so records
// beyond this one cannot be asked for.
inline constexpr int kLastAddressableRecord = 255;

inline constexpr std::string_view kRecordsPortMissing =
    TAVOLEX_TRANSLATABLE("StoredRecords", "没有发现此串口或此串口被占用");
inline constexpr std::string_view kReadCountFirst =
    TAVOLEX_TRANSLATABLE("StoredRecords", "请先读取记录总条目数");

// One record as the instrument keeps it: when it was logged and every channel's temperature.
struct StoredRecord {
    static constexpr std::size_t kPt100Channels = 4;
    static constexpr std::size_t kDigitalChannels = 64;

    DeviceTimestamp stamp;
    std::array<TenthDegree, kPt100Channels> pt100{};
    std::array<TenthDegree, kDigitalChannels> digital{};

    // The record in a whole reply: the time stamp, then PT100 1-4, then channels 1-64.
    static StoredRecord FromReply(ByteView reply);
};

// The number of records, asked on a port opened with the records profile, which stays open for
// a download that follows. After a failure the port is closed and the operator told why: the
// port is missing or in use, "读取失败!", or "检验码错误!" for a checksum that does not match.
struct RecordCount {
    PortHandle port;
    int count = 0;
};
Outcome<RecordCount> CountStoredRecords(OperationContext& context);

// Record `number` (1 to 255), asked on the open port; none when the reply was not exactly one
// whole record with its checksum. Whatever was queued before the request is discarded, and a
// reply shorter than the wait is read anyway, so that a late reply does not stay on the line.
std::optional<StoredRecord> ReadStoredRecord(SerialPort& port, std::uint8_t address, int number,
                                             const LinkContext& link);

// Deletes every record and tells the operator the outcome ("记录已全部删除!" or, for any
// failure, "校验出错!"); true when the instrument confirmed it.
Outcome<> DeleteStoredRecords(OperationContext& context);

}  // namespace tavolex
