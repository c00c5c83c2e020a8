#include "RecordTexts.h"

#include <algorithm>

#include "CsvFile.h"
#include "Translate.h"

namespace tavolex {

namespace {

std::string PaddedToTwo(const std::string& text) {
    return text.size() < 2 ? std::string(2 - text.size(), '0') + text : text;
}

void AppendCsvLine(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        out += CsvField(fields[i]);
    }
    out += "\r\n";
}

}  // namespace

std::vector<std::string> RecordHeadings() {
    std::vector<std::string> headings{Translate("RecordTexts", "记录条目"),
                                      Translate("RecordTexts", "时间")};
    const std::string channel = Translate("RecordTexts", "通道%1");
    for (std::size_t k = 1; k <= StoredRecord::kDigitalChannels; ++k)
        headings.push_back(Substitute(channel, {std::to_string(k)}));
    const std::string pt100 = Translate("RecordTexts", "PT100通道%1");
    for (std::size_t k = 1; k <= StoredRecord::kPt100Channels; ++k)
        headings.push_back(Substitute(pt100, {std::to_string(k)}));
    return headings;
}

std::string RecordTimeText(const DeviceTimestamp& stamp) {
    const TimeTexts fields = stamp.fieldTexts();
    return Substitute(Translate("RecordTexts", "%1/%2/%3/%4/%5/%6"),
                      {fields[0], PaddedToTwo(fields[1]), PaddedToTwo(fields[2]),
                       PaddedToTwo(fields[3]), PaddedToTwo(fields[4]), PaddedToTwo(fields[5])});
}

std::vector<std::string> RecordRowTexts(int number, const std::optional<StoredRecord>& record) {
    std::vector<std::string> texts(kRecordColumns);
    texts[kRecordLabelColumn] =
        Substitute(Translate("RecordTexts", "记录#%1"), {std::to_string(number)});
    if (!record) {
        texts[kRecordTimeColumn] = Translate("RecordTexts", kRecordReadFailed.data());
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

std::string RecordsCsvName(const std::optional<DeviceTimestamp>& first) {
    if (!first) return Translate("RecordTexts", "记录.csv");
    std::string stamp = first->dateTimeText();
    std::replace(stamp.begin(), stamp.end(), ' ', '_');
    std::replace(stamp.begin(), stamp.end(), ':', '-');
    return Substitute(Translate("RecordTexts", "记录_%1.csv"), {stamp});
}

std::string RecordsSaveFailedMessage() {
    return Translate("RecordTexts", "保存文件失败!");
}

}  // namespace tavolex
