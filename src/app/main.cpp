// tavolex: the desktop program of the KORVA VELTA-2 temperature scanner.
#include <QApplication>
#include <QCommandLineParser>
#include <cstring>
#include <iostream>

#include "Clock.h"
#include "PortDiscovery.h"
#include "ScannerApp.h"
#include "SystemPorts.h"

namespace {

// Listing the ports and the version need no window, so they work without a display too.
bool HasOption(int argc, char** argv, const char* option) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (HasOption(argc, argv, "--version")) {
        std::cout << "tavolex " << TAVOLEX_VERSION << '\n';
        return 0;
    }
    if (HasOption(argc, argv, "--list-ports")) {
        std::cout << tavolex::PortListText(tavolex::DiscoverPorts());
        return 0;
    }
    QApplication application(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("KORVA VELTA-2 温度巡检仪"));
    parser.addHelpOption();
    parser.addOption(QCommandLineOption(QStringLiteral("version"),
                                        QStringLiteral("Print the program's version and exit.")));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Press 采集 once, save a PNG of the main window to FILE, then exit."),
        QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.addOption(QCommandLineOption(
        QStringLiteral("list-ports"),
        QStringLiteral("Print the serial ports (number, device, description, state) and exit.")));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Start with port N in 串口号:."),
                                  QStringLiteral("N"));
    parser.addOption(port);
    parser.process(application);

    tavolex::StartOptions options{parser.value(screenshot), std::nullopt};
    if (parser.isSet(port)) {
        bool valid = false;
        options.portNumber = parser.value(port).toInt(&valid);
        if (!valid) {
            std::cerr << "tavolex: --port wants a whole number, not '"
                      << parser.value(port).toStdString() << "'\n";
            return 2;
        }
    }

    const auto ports = tavolex::MakeSystemPortOpener();
    tavolex::ScannerApp app(*ports, tavolex::SystemClock());
    return app.run(options);
}
