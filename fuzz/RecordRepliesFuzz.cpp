// The stored-record exchanges on the fuzzer's replies: the record count, a download of up to
// four records with the rows and the CSV file the records window makes of them, and the
// deletion.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "RecordDownload.h"
#include "RecordTexts.h"
#include "StoredRecords.h"

using namespace tavolex;

namespace {

class RowSink final : public RecordSink {
public:
    void showRecord(int number, const std::optional<StoredRecord>& record) override {
        fuzz::Require(number == static_cast<int>(rows.size()) + 1);
        rows.push_back(RecordRowTexts(number, record));
        fuzz::Require(rows.back().size() == std::size_t{kRecordColumns});
        if (record && !first && record->stamp.isRealDateTime()) first = record->stamp;
    }
    std::vector<std::vector<std::string>> rows;
    std::optional<DeviceTimestamp> first;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    fuzz::Bench bench;
    const std::uint8_t selector = input.byte();
    fuzz::AnswerFromInput(bench.line, input);
    const LinkContext& link = bench.link.context;
    const LinkSettings settings;
    FixedSettings fixed(settings);

    switch (selector & 3) {
        case 0: {
            if (const auto counted = CountStoredRecords(OneCall({fixed, link, bench.person}))) {
                fuzz::Require(counted->count >= 0 && counted->count <= 0xFFFF);
            }
            break;
        }
        case 1:
        case 2: {
            RecordTransferState state;
            state.total = 1 + ((selector >> 2) & 3);
            RowSink sink;
            DownloadRecords(link.ports.open(settings, PortProfile::Records), 0, state, sink, link);
            fuzz::Require(state.done == state.total && sink.rows.size() == 0u + state.total);
            (void)CsvText(RecordHeadings(), sink.rows);
            (void)RecordsCsvName(sink.first);
            break;
        }
        default:
            (void)DeleteStoredRecords(OneCall({fixed, link, bench.person}));
            break;
    }
    fuzz::Require(!bench.line.held());
    return 0;
}
