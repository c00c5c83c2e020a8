// A run saved earlier, read back for the trend chart: the comma-separated file beside a data
// file (UTF-8, dates and times, channel labels in the heading), a records table saved as CSV
// by the records window, or the plain data file (GBK, tab-separated, times of day only, the
// date taken from the file's name). Lines are read one at a time, so a huge file costs the
// samples it holds and no more; reading stops at the first line that cannot be read and keeps
// what came before it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "Channels.h"
#include "TrendHistory.h"

namespace tavolex {

enum class SavedRunKind { Unknown, DataCsv, RecordsCsv, PlainDataFile };

enum class SavedRunFault {
    None,
    Unreadable,      // the file could not be opened or read
    Empty,           // no line at all
    UnknownKind,     // the first line is none of the kinds
    NoDateInName,    // a plain data file whose name holds no date and time
    BadLine,         // `faultLine` cannot be read
    IncompleteLine,  // the last line, `faultLine`, has no line end (the file was cut)
    TooLong,         // more samples than the chart keeps: those from `faultLine` on are left out
    Cancelled,
};

struct SavedRun {
    SavedRunKind kind = SavedRunKind::Unknown;
    TrendHistory history{std::numeric_limits<std::size_t>::max()};
    // The names the heading gives the channels, empty where it gives none.
    std::array<std::string, kChannelCount> names;
    // Records whose time is not a date and time, or that could not be read: not in the history.
    std::size_t leftOut = 0;
    SavedRunFault fault = SavedRunFault::None;
    // The line of the fault, from 1.
    std::size_t faultLine = 0;
};

// Called now and then with the share done (0 to 1000); false stops the reading.
using ReadProgress = std::function<bool(int permille)>;

SavedRun ReadSavedRun(const std::filesystem::path& file, const ReadProgress& progress = {});
// The same for the file's bytes; `fileName` is what a plain data file takes its date from.
SavedRun ParseSavedRun(std::string_view bytes, std::string_view fileName,
                       const ReadProgress& progress = {});

// Samples whose times do not rise (a clock set back, records logged across a clock change) are
// put in time order, as the chart looks samples up by time.
void PutInTimeOrder(TrendHistory& history);

// Milliseconds since the epoch of a date and time of the local clock; none when it is not a day
// of the calendar and a time of day.
std::optional<std::int64_t> LocalEpochMs(int year, int month, int day, int hour, int minute,
                                         int second);

}  // namespace tavolex
