#include "DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
    struct stat before {};
    const bool existed = ::stat(file.c_str(), &before) == 0;
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const off_t size = existed ? before.st_size : 0;
    const bool written = WriteAllBytes(fd, bytes);
    if (!written) {
        // Half a line would stay in front of every later one: take it back.
        if (existed) {
            (void)::ftruncate(fd, size);
        } else {
            (void)::unlink(file.c_str());
        }
    }
    return ::close(fd) == 0 && written;
}

}  // namespace tavolex
