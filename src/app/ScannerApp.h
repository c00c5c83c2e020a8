// The application: sets up the look shared by every window, creates the main window with
// the production link and runs it; when the main window closes, the program ends.
#pragma once

#include <QFont>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <optional>

#include "Language.h"

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

    // The language, the application-wide font with its fallback, and the window icon. Needs a
    // QApplication; call before the first window is made, and again to switch the language
    // of the windows made afterwards.
    static void SetUpLook(Language language = Language::Chinese);
    // The font of the windows' layouts at its point size: in Chinese the Song face "宋体", in
    // English the desktop's own font (the layouts keep their Song-based dialog units).
    static QFont DialogFont(int pointSize);
    // The installed family that stands in for "宋体": the Song face where it is installed,
    // else another Chinese face, else any family that has the Chinese characters; empty when
    // none has them.
    static QString ChineseFamily(const QStringList& installed,
                                 const QStringList& withSimplifiedChinese);
    static QIcon Icon();

private:
    int takeScreenshot(const StartOptions& options);

    PortOpener& m_ports;
    Clock& m_clock;
};

}  // namespace tavolex
