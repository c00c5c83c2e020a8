// tavolex: the desktop program of the KORVA VELTA-2 temperature scanner.
#include <QApplication>
#include <QCommandLineParser>

#include "Clock.h"
#include "PosixSerialPort.h"
#include "ScannerApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("KORVA VELTA-2 温度巡检仪"));
    parser.addHelpOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Press 采集 once, save a PNG of the main window to FILE, then exit."),
        QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.process(application);

    tavolex::PosixPortOpener ports;
    tavolex::ScannerApp app(ports, tavolex::SystemClock());
    return app.run({parser.value(screenshot)});
}
