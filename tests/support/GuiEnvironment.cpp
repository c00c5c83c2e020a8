// One QApplication for the whole suite, on the offscreen platform so that the windows need
// no display. It is made in a global test environment, so listing the tests makes none.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "ScannerApp.h"
#include "TemporaryDirectory.h"

namespace {

class QtEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Windows read and store channel settings in the configuration folder: never the
        // user's own. Tests that look at the settings point it at a folder of their own.
        m_config = std::make_unique<tavolex::testing::TemporaryDirectory>("gui-config");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_config->path().string()));
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
        tavolex::ScannerApp::SetUpLook();
    }
    void TearDown() override {
        m_app.reset();
        m_config.reset();
    }

private:
    int m_argc = 1;
    char m_name[10] = "gui_tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
    std::unique_ptr<tavolex::testing::TemporaryDirectory> m_config;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
