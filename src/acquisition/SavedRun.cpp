#include "SavedRun.h"

#include <algorithm>
#include <ctime>
#include <fstream>
#include <map>
#include <numeric>
#include <tuple>
#include <vector>

#include "CsvFile.h"
#include "Gbk.h"

namespace tavolex {

namespace {

constexpr std::size_t kLongestLineBytes = std::size_t{1} << 20;
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
constexpr std::size_t kDataCsvFields = 1 + kChannelCount;
constexpr std::size_t kRecordsCsvFields = 2 + kChannelCount;
constexpr std::size_t kRecordsFirstDigitalField = 2;
constexpr std::size_t kRecordsFirstPt100Field = kRecordsFirstDigitalField + kDigitalChannels;
constexpr std::int64_t kSecondMs = 1000;
// About 280 MB of samples; a longer file is shown up to there.
constexpr std::size_t kMostSamples = 2'000'000;
// Lines read before the sample count is estimated from the bytes they took.
constexpr std::size_t kLinesBeforeEstimate = 1000;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The digits as a number; none unless every character is a digit.
std::optional<int> Digits(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "25.3", "-0.5", "25": tenths of a degree that a reading can carry.
std::optional<std::int16_t> ParseTenths(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    int tenth = 0;
    if (const std::size_t dot = text.find('.'); dot != std::string_view::npos) {
        if (dot + 2 != text.size() || !IsDigit(text.back())) return std::nullopt;
        tenth = text.back() - '0';
        text = text.substr(0, dot);
    }
    if (text.size() > 4) return std::nullopt;
    const std::optional<int> whole = Digits(text);
    if (!whole) return std::nullopt;
    const int magnitude = *whole * 10 + tenth;
    if (magnitude > 0x7FFF) return std::nullopt;
    return static_cast<std::int16_t>(negative ? -magnitude : magnitude);
}

// The value of a field: empty is a gap.
bool TakeValue(std::string_view field, std::int16_t& value) {
    if (field.empty()) {
        value = kGapTenths;
        return true;
    }
    const std::optional<std::int16_t> tenths = ParseTenths(field);
    if (tenths) value = *tenths;
    return tenths.has_value();
}

struct TimeOfDay {
    int hour;
    int minute;
    int second;
    int seconds() const { return (hour * 60 + minute) * 60 + second; }
};

// "hh:mm:ss".
std::optional<TimeOfDay> ParseTimeOfDay(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return std::nullopt;
    const auto hour = Digits(text.substr(0, 2));
    const auto minute = Digits(text.substr(3, 2));
    const auto second = Digits(text.substr(6, 2));
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    return TimeOfDay{*hour, *minute, *second};
}

struct DateTime {
    int year;
    int month;
    int day;
    TimeOfDay time;
};

// "2024-03-05T14:07:09", with `separator` between the date and the time.
std::optional<DateTime> ParseDateTime(std::string_view text, char separator) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != separator) {
        return std::nullopt;
    }
    const auto year = Digits(text.substr(0, 4));
    const auto month = Digits(text.substr(5, 2));
    const auto day = Digits(text.substr(8, 2));
    const auto time = ParseTimeOfDay(text.substr(11));
    if (!year || !month || !day || !time) return std::nullopt;
    return DateTime{*year, *month, *day, *time};
}

bool IsCalendarDay(int year, int month, int day) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

// The local clock's hours, each asked of the C library once: a long file has few of them, and
// asking for every line would cost more than reading it.
class LocalHours {
public:
    // `day` may run past the month's end (the next day of a plain data file).
    std::optional<std::int64_t> ms(int year, int month, int day, const TimeOfDay& time) {
        const auto key = std::make_tuple(year, month, day, time.hour);
        auto found = m_hours.find(key);
        if (found == m_hours.end()) {
            std::tm local{};
            local.tm_year = year - 1900;
            local.tm_mon = month - 1;
            local.tm_mday = day;
            local.tm_hour = time.hour;
            local.tm_isdst = -1;
            const std::time_t seconds = std::mktime(&local);
            if (seconds == static_cast<std::time_t>(-1)) return std::nullopt;
            found = m_hours.emplace(key, std::int64_t{seconds} * kSecondMs).first;
        }
        return found->second + (time.minute * 60 + time.second) * kSecondMs;
    }

private:
    std::map<std::tuple<int, int, int, int>, std::int64_t> m_hours;
};

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80         ? 1
                                   : (lead >> 5) == 6  ? 2
                                   : (lead >> 4) == 14 ? 3
                                   : (lead >> 3) == 30 ? 4
                                                       : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

// The fields of a CSV line; quoted fields are unquoted into `storage`.
bool SplitCsv(std::string_view line, std::vector<std::string>& storage,
              std::vector<std::string_view>& fields) {
    fields.clear();
    if (line.find('"') == std::string_view::npos) {
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string_view::npos;) {
            fields.push_back(line.substr(start, comma - start));
            start = comma + 1;
        }
        fields.push_back(line.substr(start));
        return true;
    }
    storage.clear();
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        const char c = i < line.size() ? line[i] : ',';
        if (quoted) {
            if (i == line.size()) return false;
            if (c != '"') {
                field += c;
            } else if (i + 1 < line.size() && line[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else if (c == ',') {
            storage.push_back(std::move(field));
            field.clear();
        } else {
            field += c;
        }
    }
    for (const std::string& each : storage)
        fields.push_back(each);
    return true;
}

// "通道5 (炉膛)" as the heading writes a named channel: the name; a caption alone: no name.
std::string NameOfLabel(int channel, std::string_view label) {
    const std::string caption = ChannelCaption(channel);
    if (label == caption) return {};
    const std::string open = caption + " (";
    if (label.size() > open.size() + 1 && label.substr(0, open.size()) == open &&
        label.back() == ')') {
        return std::string(label.substr(open.size(), label.size() - open.size() - 1));
    }
    return std::string(label);
}

// "2024年3月5日14时7分9秒" at the start of the name.
std::optional<DateTime> DateOfName(std::string_view name) {
    const std::string_view marks[] = {"年", "月", "日", "时", "分", "秒"};
    int parts[6];
    for (int i = 0; i < 6; ++i) {
        const std::size_t end = name.find(marks[i]);
        if (end == std::string_view::npos) return std::nullopt;
        const std::optional<int> value = Digits(name.substr(0, end));
        if (!value) return std::nullopt;
        parts[i] = *value;
        name.remove_prefix(end + marks[i].size());
    }
    if (!IsCalendarDay(parts[0], parts[1], parts[2]) || parts[3] > 23 || parts[4] > 59 ||
        parts[5] > 59) {
        return std::nullopt;
    }
    return DateTime{parts[0], parts[1], parts[2], {parts[3], parts[4], parts[5]}};
}

class Parser {
public:
    Parser(SavedRun& run, std::string_view fileName, std::uint64_t totalBytes)
        : m_run(run), m_fileName(fileName), m_totalBytes(totalBytes) {}

    // False once reading stops.
    bool line(std::string_view text, std::size_t number, std::uint64_t bytesSoFar) {
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        bool good = true;
        if (number == 1) {
            good = first(text);
        } else if (!text.empty()) {
            good = sample(text);
            estimateSize(number, bytesSoFar);
        }
        if (!good) {
            if (m_run.fault == SavedRunFault::None) m_run.fault = SavedRunFault::BadLine;
            m_run.faultLine = number;
        }
        return good;
    }

private:
    bool first(std::string_view text) {
        if (text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark) {
            text.remove_prefix(kUtf8ByteOrderMark.size());
        }
        if (text.find(',') != std::string_view::npos) return heading(text);
        if (text.find('\t') == std::string_view::npos) {
            m_run.fault = SavedRunFault::UnknownKind;
            m_run.faultLine = 1;
            return false;
        }
        const std::optional<DateTime> start = DateOfName(m_fileName);
        if (!start) {
            m_run.fault = SavedRunFault::NoDateInName;
            return false;
        }
        m_run.kind = SavedRunKind::PlainDataFile;
        m_start = *start;
        m_lastSecondOfDay = start->time.seconds();
        return sample(text);
    }

    bool heading(std::string_view text) {
        std::string converted;
        if (!IsUtf8(text)) {
            // Saved again by a spreadsheet in the Windows code page.
            const std::optional<std::string> utf8 = GbkToUtf8(text);
            if (!utf8) return false;
            converted = *utf8;
            text = converted;
        }
        if (!SplitCsv(text, m_storage, m_fields)) return false;
        if (m_fields.size() == kDataCsvFields) {
            m_run.kind = SavedRunKind::DataCsv;
            for (int channel = 0; channel < kChannelCount; ++channel)
                m_run.names[channel] = NameOfLabel(channel, m_fields[1 + channel]);
            return true;
        }
        if (m_fields.size() == kRecordsCsvFields) {
            m_run.kind = SavedRunKind::RecordsCsv;
            return true;
        }
        m_run.fault = SavedRunFault::UnknownKind;
        m_run.faultLine = 1;
        return false;
    }

    bool sample(std::string_view text) {
        switch (m_run.kind) {
            case SavedRunKind::DataCsv:
                return dataCsvLine(text);
            case SavedRunKind::RecordsCsv:
                return recordsCsvLine(text);
            case SavedRunKind::PlainDataFile:
                return plainLine(text);
            case SavedRunKind::Unknown:
                break;
        }
        return false;
    }

    bool dataCsvLine(std::string_view text) {
        if (!SplitCsv(text, m_storage, m_fields) || m_fields.size() != kDataCsvFields) {
            return false;
        }
        const std::optional<DateTime> time = ParseDateTime(m_fields[0], 'T');
        if (!time) return false;
        TrendSample sample;
        for (int channel = 0; channel < kChannelCount; ++channel) {
            if (!TakeValue(m_fields[1 + channel], sample[channel])) return false;
        }
        return add(*time, sample);
    }

    bool recordsCsvLine(std::string_view text) {
        if (!SplitCsv(text, m_storage, m_fields) || m_fields.size() != kRecordsCsvFields) {
            return false;
        }
        TrendSample sample;
        for (int k = 0; k < kDigitalChannels; ++k) {
            if (!TakeValue(m_fields[kRecordsFirstDigitalField + k], sample[kPt100Channels + k])) {
                return false;
            }
        }
        for (int k = 0; k < kPt100Channels; ++k) {
            if (!TakeValue(m_fields[kRecordsFirstPt100Field + k], sample[k])) return false;
        }
        // A record that was not read, or whose time stamp is no date: the table shows its
        // texts as they came, and the chart leaves it out.
        const std::optional<DateTime> time = ParseDateTime(m_fields[1], ' ');
        if (!time || !IsCalendarDay(time->year, time->month, time->day)) {
            ++m_run.leftOut;
            return true;
        }
        return add(*time, sample);
    }

    bool plainLine(std::string_view text) {
        const std::size_t tab = text.find('\t');
        if (tab == std::string_view::npos) return false;
        const std::optional<TimeOfDay> time = ParseTimeOfDay(text.substr(0, tab));
        if (!time) return false;
        TrendSample sample;
        sample.fill(kGapTenths);
        std::size_t start = tab + 1;
        for (int channel = 0;; ++channel) {
            if (channel == kChannelCount) return false;
            const std::size_t end = std::min(text.find('\t', start), text.size());
            if (!TakeValue(text.substr(start, end - start), sample[channel])) return false;
            if (end == text.size()) break;
            start = end + 1;
        }
        // Times of day only: one earlier than the line before is on the next day.
        if (time->seconds() < m_lastSecondOfDay) ++m_dayOffset;
        m_lastSecondOfDay = time->seconds();
        return add({m_start.year, m_start.month, m_start.day + m_dayOffset, *time}, sample);
    }

    bool add(const DateTime& time, const TrendSample& sample) {
        if (m_run.kind != SavedRunKind::PlainDataFile &&
            !IsCalendarDay(time.year, time.month, time.day)) {
            return false;
        }
        const std::optional<std::int64_t> ms =
            m_hours.ms(time.year, time.month, time.day, time.time);
        if (!ms) return false;
        if (m_run.history.size() == kMostSamples) {
            m_run.fault = SavedRunFault::TooLong;
            return false;
        }
        m_run.history.addSample(*ms, sample);
        return true;
    }

    // Room for the whole file's samples at once, judged from the first lines, so that the
    // channels' arrays do not grow by copying.
    void estimateSize(std::size_t number, std::uint64_t bytesSoFar) {
        if (number != kLinesBeforeEstimate || bytesSoFar == 0) return;
        const std::uint64_t estimate = m_totalBytes * number / bytesSoFar * 11 / 10;
        m_run.history.reserve(
            static_cast<std::size_t>(std::min<std::uint64_t>(estimate, kMostSamples)));
    }

    SavedRun& m_run;
    std::string_view m_fileName;
    std::uint64_t m_totalBytes;
    DateTime m_start{};
    int m_lastSecondOfDay = 0;
    int m_dayOffset = 0;
    LocalHours m_hours;
    std::vector<std::string> m_storage;
    std::vector<std::string_view> m_fields;
};

}  // namespace

void PutInTimeOrder(TrendHistory& history) {
    const std::size_t count = history.size();
    bool sorted = true;
    for (std::size_t i = 1; i < count && sorted; ++i)
        sorted = history.timeAt(i - 1) <= history.timeAt(i);
    if (sorted) return;
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return history.timeAt(a) < history.timeAt(b);
    });
    TrendHistory ordered(history.capacity());
    ordered.reserve(count);
    for (std::size_t i : order) {
        TrendSample sample;
        for (int channel = 0; channel < kChannelCount; ++channel)
            sample[channel] =
                static_cast<std::int16_t>(history.valueAt(channel, i).value_or(kGapTenths));
        ordered.addSample(history.timeAt(i), sample);
    }
    history = std::move(ordered);
}

namespace {

// Feeds the bytes to the parser line by line; `pending` holds a line begun in an earlier
// chunk. False once reading stops.
class LineFeeder {
public:
    LineFeeder(Parser& parser, SavedRun& run) : m_parser(parser), m_run(run) {}

    bool feed(std::string_view chunk) {
        while (!chunk.empty()) {
            const std::size_t end = chunk.find('\n');
            const std::string_view piece = chunk.substr(0, end);
            if (m_pending.size() + piece.size() > kLongestLineBytes) return fail();
            m_consumed += piece.size() + (end == std::string_view::npos ? 0 : 1);
            if (end == std::string_view::npos) {
                m_pending.append(piece);
                return true;
            }
            chunk.remove_prefix(end + 1);
            ++m_number;
            if (m_pending.empty()) {
                if (!m_parser.line(piece, m_number, m_consumed)) return false;
            } else {
                m_pending.append(piece);
                if (!m_parser.line(m_pending, m_number, m_consumed)) return false;
                m_pending.clear();
            }
        }
        return true;
    }

    // At the end of the bytes.
    void finish() {
        if (!m_pending.empty()) {
            m_run.fault = SavedRunFault::IncompleteLine;
            m_run.faultLine = m_number + 1;
        } else if (m_number == 0) {
            m_run.fault = SavedRunFault::Empty;
        }
    }

private:
    bool fail() {
        m_run.fault = SavedRunFault::BadLine;
        m_run.faultLine = m_number + 1;
        return false;
    }

    Parser& m_parser;
    SavedRun& m_run;
    std::string m_pending;
    std::size_t m_number = 0;
    std::uint64_t m_consumed = 0;
};

int Permille(std::uint64_t done, std::uint64_t total) {
    return total == 0 ? 1000 : static_cast<int>(done * 1000 / total);
}

void Finish(SavedRun& run) {
    PutInTimeOrder(run.history);
}

}  // namespace

std::optional<std::int64_t> LocalEpochMs(int year, int month, int day, int hour, int minute,
                                         int second) {
    if (!IsCalendarDay(year, month, day) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59) {
        return std::nullopt;
    }
    LocalHours hours;
    return hours.ms(year, month, day, {hour, minute, second});
}

SavedRun ParseSavedRun(std::string_view bytes, std::string_view fileName,
                       const ReadProgress& progress) {
    SavedRun run;
    Parser parser(run, fileName, bytes.size());
    LineFeeder feeder(parser, run);
    for (std::size_t done = 0; done < bytes.size(); done += kChunkBytes) {
        if (progress && !progress(Permille(done, bytes.size()))) {
            run.fault = SavedRunFault::Cancelled;
            return run;
        }
        if (!feeder.feed(bytes.substr(done, kChunkBytes))) {
            Finish(run);
            return run;
        }
    }
    feeder.finish();
    Finish(run);
    return run;
}

SavedRun ReadSavedRun(const std::filesystem::path& file, const ReadProgress& progress) {
    SavedRun run;
    std::ifstream in(file, std::ios::binary);
    std::error_code error;
    const std::uint64_t total = std::filesystem::file_size(file, error);
    if (!in || error) {
        run.fault = SavedRunFault::Unreadable;
        return run;
    }
    const std::u8string name = file.filename().u8string();
    const std::string fileName(name.begin(), name.end());
    Parser parser(run, fileName, total);
    LineFeeder feeder(parser, run);
    std::string chunk(kChunkBytes, '\0');
    std::uint64_t done = 0;
    while (in) {
        if (progress && !progress(Permille(done, total))) {
            run.fault = SavedRunFault::Cancelled;
            return run;
        }
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        done += got;
        if (!feeder.feed(std::string_view(chunk).substr(0, got))) {
            Finish(run);
            return run;
        }
    }
    if (in.bad()) {
        run.fault = SavedRunFault::Unreadable;
        return run;
    }
    feeder.finish();
    Finish(run);
    return run;
}

}  // namespace tavolex
