// The window's group "温度偏移量": reading every channel's offset into the channel lists
// (1049), choosing the probe type (1056) that decides which channels the channel list (1054)
// offers, and setting one channel's offset (1050) from the value typed in 1048.
#pragma once

#include <QObject>

namespace tavolex {

class MainDialog;

class TemperatureOffsets final : public QObject {
public:
    // Connects the group's controls.
    explicit TemperatureOffsets(MainDialog& window);

    // Shows the instrument's offsets in column "偏移值" of the three lists.
    void readAll();
    // Sends the offset of the chosen channel.
    void set();
    // Refills the channel list for the probe type chosen, with no channel selected.
    void chooseProbeType(int index);

private:
    MainDialog& m_window;
};

}  // namespace tavolex
