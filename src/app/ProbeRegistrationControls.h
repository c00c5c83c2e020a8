// The window's probe registration: the row "读取SN号:" (1007, 1014) that reads a channel's probe,
// the group "探头注册" with its three modes, registration channel, probe port and SN bytes,
// "注册" (1006) and "文件注册" (1027), and the help label whose area shows the registration help
// while the pointer is over it.
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <memory>

#include "FileRegistration.h"

class QButtonGroup;
class QLabel;

namespace tavolex {

class ControlBuilder;
class ControlLock;
class ControlsHost;
class RegisteredDialog;
class RegistrationHelpDialog;

class ProbeRegistrationControls final : public QObject, private FileRegistrationProgress {
public:
    explicit ProbeRegistrationControls(ControlsHost& host);
    ~ProbeRegistrationControls() override;

    // The row "读取SN号:", connected.
    void buildSnReadRow(ControlBuilder& make);
    // The group "探头注册", connected.
    void buildGroup(ControlBuilder& make);
    // The label "帮助", and the help window its area shows.
    void buildHelpLabel(ControlBuilder& make);

    // "注册": binds a probe to the registration channel in the chosen mode.
    void registerProbe();
    // "读取" beside "读取SN号:": the channel's probe onto the clipboard.
    void readProbeSn();
    // "文件注册": registers every line of a file the operator chooses.
    void registerFromFile();

    // Enables or disables the eight SN byte edits together.
    void setSnEditsEnabled(bool enabled);
    RegistrationHelpDialog& help() { return *m_help; }
    RegisteredDialog& registeredPopup() { return *m_registeredPopup; }

protected:
    // Shows the help while the pointer moves over the help area of the window's surface.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Enables the registration fields that the mode (0 semi-automatic, 1 manual, 2 fully
    // automatic) uses.
    void applyRegistrationMode(int mode);

    // A file run locks the controls that must not run meanwhile and shows the success popup.
    void runStarted() override;
    void lineRegistered(int channel) override;
    void runEnded() override;
    // Centred over the window and painted at once, with the channel last registered if any.
    void showRegisteredPopup();

    ControlsHost& m_host;
    QButtonGroup* m_modeGroup = nullptr;
    QButtonGroup* m_probePortGroup = nullptr;
    RegistrationHelpDialog* m_help = nullptr;
    RegisteredDialog* m_registeredPopup = nullptr;
    // The help area as it was built, and where the label stood then: the area follows the
    // label when the window moves its controls (under a menu bar).
    QRect m_helpArea;
    QLabel* m_helpLabel = nullptr;
    QPoint m_helpLabelBuiltAt;
    std::unique_ptr<ControlLock> m_runLock;
};

}  // namespace tavolex
