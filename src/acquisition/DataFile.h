// The data file of continuous acquisition: one text file per run, named after the start time,
// with one line of temperatures per record.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

#include "TemperatureReply.h"

namespace tavolex {

// "<dir>/<year>年<month>月<day>日<hour>时<minute>分<second>秒.txt", nothing zero-padded.
std::filesystem::path DataFileName(const std::filesystem::path& workingDirectory,
                                   const std::tm& start);

// "hh:mm:ss", then a tab and the "%.01f" text of every word of the reply, then CR LF.
std::string RecordLine(const std::tm& time, const TemperatureReply& reply);

// Appends the line, creating the file with the first record; false when it cannot be written
// whole, and then the file is left as it was before (no torn line).
bool AppendRecord(const std::filesystem::path& file, const std::string& line);

// Appends the bytes as they are, with the same guarantee: all of them or none.
bool AppendWhole(const std::filesystem::path& file, std::string_view bytes);

// When records are due: the first success of a run always, then the first success more than
// `periodSeconds` after the last record written.
class RecordSchedule {
public:
    bool due(std::time_t now, int periodSeconds) const {
        return now - m_lastRecord > static_cast<std::time_t>(periodSeconds);
    }
    void recorded(std::time_t now) { m_lastRecord = now; }

private:
    std::time_t m_lastRecord = 0;
};

}  // namespace tavolex
