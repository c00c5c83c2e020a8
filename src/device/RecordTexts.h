// How the records window shows stored records: its 70 columns, the texts of one record's row,
// and the table saved as a CSV file. The table and its CSV file are the program's own, not the
// instrument's: their texts follow the language of the screen.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DeviceTimestamp.h"
#include "StoredRecords.h"
#include "Translate.h"

namespace tavolex {

inline constexpr int kRecordColumns = 70;
inline constexpr int kRecordLabelColumn = 0;
inline constexpr int kRecordTimeColumn = 1;
// Channel k is in column k + 1.
inline constexpr int kFirstChannelColumn = 2;
inline constexpr int kFirstPt100Column = 66;
inline constexpr std::string_view kRecordReadFailed =
    TAVOLEX_TRANSLATABLE("RecordTexts", "读取失败");

// The column headings in order: "记录条目", "时间", "通道1" to "通道64", "PT100通道1" to
// "PT100通道4".
std::vector<std::string> RecordHeadings();

// "2024/05/07/09/03/01": each field as the clock shows it, every field after the year padded
// with "0" to two characters.
std::string RecordTimeText(const DeviceTimestamp& stamp);

// The 70 texts of the record's row: "记录#n", then the time and the temperatures, or
// "读取失败" and nothing else for a record that could not be read.
std::vector<std::string> RecordRowTexts(int number, const std::optional<StoredRecord>& record);

// The rows as a CSV file: UTF-8 with a byte-order mark, the headings first, fields separated
// by commas and quoted where they must be, lines ending in CR LF.
std::string CsvText(const std::vector<std::string>& headings,
                    const std::vector<std::vector<std::string>>& rows);

// The file name suggested for saving records whose first valid time stamp is `first`.
// What the operator is told when the records could not be saved.
std::string RecordsSaveFailedMessage();

std::string RecordsCsvName(const std::optional<DeviceTimestamp>& first);

}  // namespace tavolex
