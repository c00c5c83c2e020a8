#include "RecordTexts.h"

#include <algorithm>

namespace tavolex {

namespace {

constexpr int kLabelWidthPx = 70;
constexpr int kTimeWidthPx = 140;
constexpr int kChannelWidthPx = 60;
constexpr int kPt100WidthPx = 74;

std::string PaddedToTwo(const std::string& text) {
    return text.size() < 2 ? std::string(2 - text.size(), '0') + text : text;
}

void AppendCsvField(std::string& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendCsvLine(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        AppendCsvField(out, fields[i]);
    }
    out += "\r\n";
}

}  // namespace

std::vector<RecordColumn> RecordColumns() {
    std::vector<RecordColumn> columns{{"记录条目", kLabelWidthPx}, {"时间", kTimeWidthPx}};
    for (std::size_t k = 1; k <= StoredRecord::kDigitalChannels; ++k)
        columns.push_back({"通道" + std::to_string(k), kChannelWidthPx});
    for (std::size_t k = 1; k <= StoredRecord::kPt100Channels; ++k)
        columns.push_back({"PT100通道" + std::to_string(k), kPt100WidthPx});
    return columns;
}

std::string RecordTimeText(const DeviceTimestamp& stamp) {
    const TimeTexts fields = stamp.fieldTexts();
    std::string text = fields[0];
    for (std::size_t i = 1; i < fields.size(); ++i)
        text += '/' + PaddedToTwo(fields[i]);
    return text;
}

std::vector<std::string> RecordRowTexts(int number, const std::optional<StoredRecord>& record) {
    std::vector<std::string> texts(kRecordColumns);
    texts[kRecordLabelColumn] = "记录#" + std::to_string(number);
    if (!record) {
        texts[kRecordTimeColumn] = kRecordReadFailed;
        return texts;
    }
    texts[kRecordTimeColumn] = RecordTimeText(record->stamp);
    for (std::size_t i = 0; i < record->digital.size(); ++i)
        texts[kFirstChannelColumn + i] = record->digital[i].text();
    for (std::size_t i = 0; i < record->pt100.size(); ++i)
        texts[kFirstPt100Column + i] = record->pt100[i].text();
    return texts;
}

std::string CsvText(const std::vector<std::string>& headings,
                    const std::vector<std::vector<std::string>>& rows) {
    std::string out = "\xEF\xBB\xBF";
    AppendCsvLine(out, headings);
    for (const std::vector<std::string>& row : rows)
        AppendCsvLine(out, row);
    return out;
}

std::string CsvFileName(const std::optional<DeviceTimestamp>& first) {
    if (!first) return "记录.csv";
    std::string stamp = first->dateTimeText();
    std::replace(stamp.begin(), stamp.end(), ' ', '_');
    std::replace(stamp.begin(), stamp.end(), ':', '-');
    return "记录_" + stamp + ".csv";
}

}  // namespace tavolex
