// The downloaded records as a run for the trend chart, at the instrument's own time stamps.
#pragma once

#include <vector>

#include "SavedRun.h"
#include "StoredRecords.h"

namespace tavolex {

// A record whose time stamp is not a date and time is left out and counted.
SavedRun RunOfRecords(const std::vector<StoredRecord>& records);

}  // namespace tavolex
