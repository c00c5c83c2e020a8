#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "PortNaming.h"
#include "PosixSerialPort.h"
#include "TemporaryDirectory.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;

class PortNamingTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("TAVOLEX_PORTS_DIR", dir.c_str(), 1); }
    void TearDown() override { unsetenv("TAVOLEX_PORTS_DIR"); }
    testing::TemporaryDirectory folder;
    const fs::path dir = folder.path();
};

// A dangling link still names the port, so opening it fails.
TEST_F(PortNamingTest, PortNumbersMapToTheirLinkOrToTheMatchingTtyS) {
    fs::create_symlink("/dev/null", dir / "com3");
    EXPECT_EQ(DevicePathForPort(3), dir / "com3");
    EXPECT_EQ(DevicePathForPort(12), fs::path("/dev/ttyS11"));
    EXPECT_EQ(DevicePathForPort(1), fs::path("/dev/ttyS0"));
    EXPECT_FALSE(DevicePathForPort(0));
    EXPECT_FALSE(DevicePathForPort(-4));
    fs::create_symlink(dir / "gone", dir / "com2");
    EXPECT_EQ(DevicePathForPort(2), dir / "com2");
    EXPECT_EQ(OpenPort({2, 9600, 0}, PortProfile::Command), nullptr);
}

TEST_F(PortNamingTest, PortsFolderFollowsTheEnvironment) {
    EXPECT_EQ(PortsDirectory(), dir);
    unsetenv("TAVOLEX_PORTS_DIR");
    setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(PortsDirectory(), fs::path("/tmp/xdg/tavolex/ports"));
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/operator", 1);
    EXPECT_EQ(PortsDirectory(), fs::path("/home/operator/.config/tavolex/ports"));
}

}  // namespace
}  // namespace tavolex
