#include "CsvFile.h"

#include <cstdio>
#include <system_error>

#include "Channels.h"
#include "DataFile.h"

namespace tavolex {

std::filesystem::path CsvBesideDataFile(const std::filesystem::path& dataFile) {
    std::filesystem::path csv = dataFile;
    return csv.replace_extension(".csv");
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string CsvHeading(const std::vector<std::string>& channelLabels) {
    std::string line = "时间";
    for (const std::string& label : channelLabels) {
        line += ',';
        line += CsvField(label);
    }
    return line + "\r\n";
}

std::string CsvRecordLine(const std::tm& time, const TemperatureReply& reply) {
    char stamp[80];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d", time.tm_year + 1900,
                  time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
    std::string line = stamp;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        line += ',';
        // The TXT's own text of the value: locale-free, "." as the decimal point.
        if (channel < reply.wordCount()) line += reply.word(channel).text();
    }
    return line + "\r\n";
}

bool AppendCsvRecord(const std::filesystem::path& file, const std::string& heading,
                     const std::string& line) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (error || size == 0) {
        return AppendWhole(file, std::string(kUtf8ByteOrderMark) + heading + line);
    }
    return AppendWhole(file, line);
}

}  // namespace tavolex
