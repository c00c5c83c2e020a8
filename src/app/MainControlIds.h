// The control IDs of the main window's layout; each control's ID is also its object name.
#pragma once

#include <array>

#include "WindowValues.h"

namespace tavolex {

struct MainControlIds {
    enum ControlId : int {
        kPortEdit = 1000,
        kBaudList = 1001,
        kAddressEdit = 1002,
        kSignalCountEdit = 1003,
        kSetSignalCountButton = 1004,
        kRegistrationChannelEdit = 1005,
        kRegisterButton = 1006,
        kSnReadChannelEdit = 1007,
        kLowChannelList = 1008,
        kAcquireButton = 1009,
        kContinuousButton = 1010,
        kPeriodEdit = 1011,
        kSuccessCountLabel = 1012,
        kFailureCountLabel = 1013,
        kReadSnButton = 1014,
        kHighChannelList = 1015,
        kSemiAutomaticRadio = 1020,
        kManualRadio = 1021,
        kFullyAutomaticRadio = 1026,
        kFileRegisterButton = 1027,
        kPt100Button = 1028,
        kPt100List = 1029,
        kOffsetEdit = 1048,
        kReadOffsetsButton = 1049,
        kSetOffsetButton = 1050,
        kCalibrateButton = 1051,
        kVersionLabel = 1053,
        kOffsetChannelList = 1054,
        kResistorCombo = 1055,
        kProbeTypeCombo = 1056,
        kRecordPeriodEdit = 1060,
        kSaveLogCheck = 1061,
        kYearEdit = 1062,  // to kSecondEdit = 1067
        kReadClockButton = 1068,
        kSetClockButton = 1069,
        kReadLogButton = 1070,
        kPortARadio = 1072,
        kPortBRadio = 1073,
        kDeleteIdsButton = 1074,
        kHelpLabel = 1076,
        kViewRecordsButton = 1077,
        kIntervalEdit = 1080,
        kReadIntervalButton = 1081,
        kSetIntervalButton = 1082,
    };
    // The eight SN byte edits in byte order: 1016-1019, then 1022-1025.
    static constexpr std::array<int, kSnBytes> kSnEdits = {1016, 1017, 1018, 1019,
                                                           1022, 1023, 1024, 1025};
};

}  // namespace tavolex
