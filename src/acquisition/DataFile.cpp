#include "DataFile.h"

#include <cstdio>
#include <string_view>

#include "AtomicFile.h"
#include "Gbk.h"

namespace tavolex {

std::filesystem::path DataFileName(const std::filesystem::path& workingDirectory,
                                   const std::tm& start) {
    const std::string name =
        std::to_string(start.tm_year + 1900) + "年" + std::to_string(start.tm_mon + 1) + "月" +
        std::to_string(start.tm_mday) + "日" + std::to_string(start.tm_hour) + "时" +
        std::to_string(start.tm_min) + "分" + std::to_string(start.tm_sec) + "秒.txt";
    return workingDirectory / name;
}

std::string RecordLine(const std::tm& time, const TemperatureReply& reply) {
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", time.tm_hour, time.tm_min, time.tm_sec);
    std::string line = clock;
    for (int i = 0; i < reply.wordCount(); ++i) {
        line += '\t';
        line += reply.word(i).text();
    }
    // Read by Windows tools as well: lines end in CR LF.
    return line + "\r\n";
}

bool AppendRecord(const std::filesystem::path& file, const std::string& line) {
    return AppendWhole(file, Utf8ToGbk(line));
}

bool AppendWhole(const std::filesystem::path& file, std::string_view bytes) {
    return AppendAllOrNothing(file, bytes);
}

}  // namespace tavolex
