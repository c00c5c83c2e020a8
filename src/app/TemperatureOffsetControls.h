// The window's group "温度偏移量": reading every channel's offset into the channel lists
// (1049), choosing the probe type (1056) that decides which channels the channel list (1054)
// offers, and setting one channel's offset (1050) from the value typed in 1048.
#pragma once

#include <QObject>

namespace tavolex {

class ContinuousAcquisitionControls;
class ControlBuilder;
class ControlsHost;

class TemperatureOffsetControls final : public QObject {
public:
    // The messages depend on whether `run` is acquiring.
    TemperatureOffsetControls(ControlsHost& host, const ContinuousAcquisitionControls& run)
        : m_host(host), m_run(run) {}

    // The group "温度偏移量", connected.
    void build(ControlBuilder& make);

    // Shows the instrument's offsets in column "偏移值" of the three lists.
    void readAll();
    // Sends the offset of the chosen channel.
    void set();
    // Refills the channel list for the probe type chosen, with no channel selected.
    void chooseProbeType(int index);

private:
    ControlsHost& m_host;
    const ContinuousAcquisitionControls& m_run;
};

}  // namespace tavolex
