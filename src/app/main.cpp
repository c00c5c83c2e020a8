// tavolex: the desktop program of the KORVA VELTA-2 temperature scanner.
#include <QApplication>
#include <QCommandLineParser>
#include <cstring>
#include <iostream>

#include "CatalogueTranslator.h"
#include "Clock.h"
#include "PortDiscovery.h"
#include "ScannerApp.h"
#include "SystemPorts.h"
#include "Translate.h"

namespace {

// Help, the port list and the version need no window, so they work without a display too.
bool HasOption(int argc, char** argv, const char* option) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0) return true;
    }
    return false;
}

// The options, as the window's own command line takes them.
std::string HelpText() {
    return tavolex::Translate("CommandLine",
                              "用法: tavolex [选项]\n"
                              "KORVA VELTA-2 温度巡检仪\n"
                              "\n"
                              "选项:\n"
                              "  -h, --help         显示本帮助并退出。\n"
                              "  --version          显示程序的版本并退出。\n"
                              "  --port N           以串口号 N 启动。\n"
                              "  --list-ports       列出串口(串口号、设备、说明、状态)并退出。\n"
                              "  --screenshot FILE  按一次“采集”,把主窗口保存为 PNG 文件 FILE,"
                              "然后退出。\n");
}

}  // namespace

int main(int argc, char** argv) {
    // The window installs its own translator later; until then the compiled-in catalogue
    // speaks the environment's language.
    tavolex::InstallCatalogue(tavolex::PreferredLanguage(tavolex::EnvironmentLanguages()));
    if (HasOption(argc, argv, "--help") || HasOption(argc, argv, "-h")) {
        std::cout << HelpText();
        return 0;
    }
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
