#include "ControlsHost.h"

#include <array>

namespace tavolex {

namespace {

using Ids = MainControlIds;

// Everything that opens the port or starts another run is locked by both runs; a file
// registration run also locks the readings, which use the port it holds.
constexpr std::array<int, 12> kLockedDuringRuns = {
    Ids::kSaveLogCheck,      Ids::kRecordPeriodEdit,  Ids::kSetClockButton,
    Ids::kReadClockButton,   Ids::kSetOffsetButton,   Ids::kReadOffsetsButton,
    Ids::kDeleteIdsButton,   Ids::kViewRecordsButton, Ids::kReadIntervalButton,
    Ids::kSetIntervalButton, Ids::kContinuousButton,  Ids::kAcquireButton};
constexpr std::size_t kLockedOnlyDuringFileRuns = 2;

}  // namespace

std::span<const int> LockedControls(LockedDuring run) {
    const std::span<const int> all(kLockedDuringRuns);
    return run == LockedDuring::FileRegistrationRun
               ? all
               : all.first(all.size() - kLockedOnlyDuringFileRuns);
}

}  // namespace tavolex
