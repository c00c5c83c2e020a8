// The communication error log: QRNA_log.txt in the working directory, one entry appended per
// failed reading of the acquisition worker, in GBK.
#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <string_view>

#include "Frame.h"

namespace tavolex {

inline constexpr std::string_view kErrorLogFileName = "QRNA_log.txt";

std::tm LocalTimeNow();

struct ErrorLogFile {
    std::filesystem::path path;
    std::function<std::tm()> localTime = LocalTimeNow;
    // Told of every entry as it is made, whether the file took it or not.
    std::function<void(const std::tm& time, std::string_view message, std::string_view entry)>
        onEntry = {};

    static ErrorLogFile InDirectory(const std::filesystem::path& workingDirectory) {
        return {workingDirectory / kErrorLogFileName};
    }
};

// The text of one entry: a line break, "hh:mm:ss <message> 字节数:<count> 数据:", then
// "xx " for each byte.
std::string CommErrorEntry(const std::tm& time, std::string_view message, ByteView bytes);

// Appends one entry, opening and closing the file for it; an entry that cannot be written
// whole is dropped silently, leaving the log as it was.
void LogCommError(const ErrorLogFile& log, std::string_view message, ByteView bytes);

}  // namespace tavolex
