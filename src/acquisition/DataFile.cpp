#include "DataFile.h"

#include <cstdio>
#include <memory>

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
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(file.c_str(), "ab"),
                                                        &std::fclose);
    if (!out) return false;
    const std::string bytes = Utf8ToGbk(line);
    return std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size() &&
           std::fflush(out.get()) == 0;
}

}  // namespace tavolex
