#include "RecordsTrend.h"

#include <string>

namespace tavolex {

SavedRun RunOfRecords(const std::vector<StoredRecord>& records) {
    SavedRun run;
    run.kind = SavedRunKind::RecordsCsv;
    for (const StoredRecord& record : records) {
        std::optional<std::int64_t> ms;
        if (record.stamp.isRealDateTime()) {
            // Every field of a real date and time is decimal digits.
            const TimeTexts fields = record.stamp.fieldTexts();
            ms = LocalEpochMs(std::stoi(fields[0]), std::stoi(fields[1]), std::stoi(fields[2]),
                              std::stoi(fields[3]), std::stoi(fields[4]), std::stoi(fields[5]));
        }
        if (!ms) {
            ++run.leftOut;
            continue;
        }
        TrendSample sample;
        for (std::size_t k = 0; k < record.pt100.size(); ++k)
            sample[k] = static_cast<std::int16_t>(record.pt100[k].tenths());
        for (std::size_t k = 0; k < record.digital.size(); ++k)
            sample[kPt100Channels + k] = static_cast<std::int16_t>(record.digital[k].tenths());
        run.history.addSample(*ms, sample);
    }
    PutInTimeOrder(run.history);
    return run;
}

}  // namespace tavolex
