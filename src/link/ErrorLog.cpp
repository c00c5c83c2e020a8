#include "ErrorLog.h"

#include <cstdio>
#include <string>

#include "AtomicFile.h"
#include "Gbk.h"
#include "Trace.h"

namespace tavolex {

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string CommErrorEntry(const std::tm& time, std::string_view message, ByteView bytes) {
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", time.tm_hour, time.tm_min, time.tm_sec);
    // The file is read by Windows tools, so its line break is CR LF.
    std::string entry = "\r\n";
    entry += clock;
    entry += ' ';
    entry += message;
    entry += " 字节数:" + std::to_string(bytes.size()) + " 数据:";
    entry += HexBytes(bytes);
    return entry;
}

void LogCommError(const ErrorLogFile& log, std::string_view message, ByteView bytes) {
    const std::tm time = log.localTime();
    const std::string entry = CommErrorEntry(time, message, bytes);
    // A full disk drops the entry whole rather than leaving half of it in the log.
    (void)AppendAllOrNothing(log.path, Utf8ToGbk(entry));
    if (log.onEntry) log.onEntry(time, message, entry);
}

}  // namespace tavolex
