// The application: sets up the look shared by every window, creates the main window with
// the production link and runs it; when the main window closes, the program ends.
#pragma once

#include <QFont>
#include <QIcon>
#include <QString>
#include <optional>

namespace tavolex {

class Clock;
class PortOpener;

struct StartOptions {
    // When set: show the window, press "采集" once, save a picture of the window there, end.
    QString screenshotPath;
    // When set: the window starts with this number in "串口号:".
    std::optional<int> portNumber;
};

class ScannerApp {
public:
    ScannerApp(PortOpener& ports, Clock& clock) : m_ports(ports), m_clock(clock) {}

    // Returns the program's exit status.
    int run(const StartOptions& options);

    // The application-wide font, its Linux fallback and the window icon. Needs a
    // QApplication; call once before the first window is made.
    static void SetUpLook();
    // "宋体" at the layout's point size.
    static QFont DialogFont(int pointSize);
    static QIcon Icon();

private:
    int takeScreenshot(const StartOptions& options);

    PortOpener& m_ports;
    Clock& m_clock;
};

}  // namespace tavolex
