// The PT100 parameter window: a channel's calibration parameters, its three calibration steps,
// the four PT100 temperatures, a local offset adjuster, and the trace of every exchange made
// while it is open. Its commands run on the main window's link and settings.
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "DefaultActionDialog.h"
#include "TraceListBox.h"

class QComboBox;
class QLineEdit;

namespace tavolex {

class ControlsHost;
class UpDownControl;

class Pt100Dialog final : public DefaultActionDialog {
    Q_OBJECT
public:
    enum ControlId : int {
        kTemperaturesButton = 1026,
        kZeroPointButton = 1029,
        kChannelCombo = 1030,
        kResistor1Button = 1031,
        kSetOffsetButton = 1032,
        kZeroPointEdit = 1033,
        kResistor2Button = 1034,
        kReadParametersButton = 1035,
        kOffsetEdit = 1036,
        kResistor1Edit = 1037,
        kResistor2Edit = 1038,
        kTemperature1Edit = 1039,  // to 1042
        kSaveLogButton = 1043,
        kClearLogButton = 1044,
        kOffsetSpin = 1047,
        kLogList = 1008,
    };

    explicit Pt100Dialog(ControlsHost& window);
    ~Pt100Dialog() override;

    // Where the main window's transactions write their trace while this window is open.
    TraceTarget& trace() { return *m_trace; }
    UpDownControl& offsetSpin() { return *m_spin; }

private:
    void buildControls();
    std::uint8_t channelByte() const;
    void readParameters();
    void calibrate(int kind);
    void readTemperatures();
    void saveLog();
    void spinStepped(int position);
    void offsetEdited(const QString& text);
    void setText(int id, const std::string& text);

    ControlsHost& m_window;
    std::unique_ptr<TraceListBox> m_trace;
    UpDownControl* m_spin = nullptr;
    // Keeps the offset edit and the spin from updating each other in a loop.
    bool m_syncGuard = false;
    // The text last typed into the channel box; while the box still shows it, no channel is
    // chosen, even where the text is an item's.
    std::optional<QString> m_typedChannel;
};

}  // namespace tavolex
