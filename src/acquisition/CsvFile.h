// The comma-separated sibling of the data file, for spreadsheets: the same records with their
// date, UTF-8 with a byte-order mark, a heading line naming the channels, "." as the decimal
// point, and a column for each of the 68 channels (empty where the reply did not carry one).
#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "TemperatureReply.h"

namespace tavolex {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The data file's name with the extension ".csv".
std::filesystem::path CsvBesideDataFile(const std::filesystem::path& dataFile);

// The field as it is, or in double quotes (inner quotes doubled) when it holds a comma, a
// quote or a line break.
std::string CsvField(std::string_view text);

// "时间", then one label per channel in reply order, then CR LF.
std::string CsvHeading(const std::vector<std::string>& channelLabels);

// "2024-03-05T14:07:09", then a value per channel in reply order, then CR LF.
std::string CsvRecordLine(const std::tm& time, const TemperatureReply& reply);

// Appends the line; a new (or empty) file first gets the byte-order mark and the heading, in
// the same write. False, and the file as it was, when it cannot be written whole.
bool AppendCsvRecord(const std::filesystem::path& file, const std::string& heading,
                     const std::string& line);

}  // namespace tavolex
