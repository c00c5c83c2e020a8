#include "DataOutput.h"

#include <cstdio>
#include <regex>

#include "Channels.h"
#include "CsvFile.h"

namespace tavolex::cli {

namespace {

bool IsJsonNumber(const std::string& text) {
    static const std::regex number(R"(-?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?)");
    return std::regex_match(text, number);
}

std::string JsonValue(const Field& field) {
    if (!field.number) return JsonString(field.text);
    if (field.text.empty()) return "null";
    if (field.text == "true" || field.text == "false") return field.text;
    // A value the instrument sent that is no number (never expected) stays readable.
    return IsJsonNumber(field.text) ? field.text : JsonString(field.text);
}

}  // namespace

std::optional<Format> FormatNamed(std::string_view name) {
    if (name == "text") return Format::Text;
    if (name == "csv") return Format::Csv;
    if (name == "json") return Format::Json;
    return std::nullopt;
}

std::string ChannelKey(int channel) {
    const ListRow at = RowOfChannel(channel);
    if (at.list == ChannelList::Pt100) return kPt100KeyPrefix + std::to_string(at.row + 1);
    return kDigitalKeyPrefix + std::to_string(channel - kPt100Channels + 1);
}

void DataOutput::write(const Row& row) {
    switch (m_format) {
        case Format::Text:
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (m_vertical) {
                    m_out << row[i].name << '\t' << row[i].text << '\n';
                } else {
                    m_out << (i > 0 ? "\t" : "") << row[i].text;
                }
            }
            if (!m_vertical) m_out << '\n';
            break;
        case Format::Csv:
            if (!m_headingWritten) {
                for (std::size_t i = 0; i < row.size(); ++i)
                    m_out << (i > 0 ? "," : "") << CsvField(row[i].name);
                m_out << '\n';
                m_headingWritten = true;
            }
            for (std::size_t i = 0; i < row.size(); ++i)
                m_out << (i > 0 ? "," : "") << CsvField(row[i].text);
            m_out << '\n';
            break;
        case Format::Json:
            m_out << '{';
            for (std::size_t i = 0; i < row.size(); ++i)
                m_out << (i > 0 ? "," : "") << JsonString(row[i].name) << ':' << JsonValue(row[i]);
            m_out << "}\n";
            break;
    }
    m_out.flush();
}

}  // namespace tavolex::cli
