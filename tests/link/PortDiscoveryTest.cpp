// Finding the serial ports present, naming them by number, and binding numbers to devices.
#include "PortDiscovery.h"

#include <gtest/gtest.h>

#include "FakeDeviceTree.h"
#include "PosixSerialPort.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using testing::FakeDeviceTree;

// One line per entry: number, bound mark, device within the tree, description, state.
std::vector<std::string> Lines(const std::vector<PortEntry>& entries, const fs::path& root) {
    std::vector<std::string> lines;
    for (const PortEntry& e : entries)
        lines.push_back((e.portNumber ? std::to_string(*e.portNumber) : "-") +
                        (e.bound ? "* " : " ") + e.device.lexically_relative(root).string() +
                        " | " + e.description + " | " + std::string(PortStateText(e.state)));
    return lines;
}

constexpr const char* kFtdi = "usb-FTDI_FT232R_USB_UART_A9M9DV3R-if00-port0";

TEST(PortDiscoveryTest, ListsDevicesPresentWithTheirNumbersAndStates) {
    FakeDeviceTree fake;
    fake.device("ttyUSB0");
    const fs::path ftdi = fake.byId(kFtdi, "ttyUSB0");
    fake.device("ttyUSB1");  // another adapter, not bound: listed with its own name
    fake.byId("usb-1a86_USB2.0-Serial-if00-port0", "ttyUSB1");
    fake.device("ttyACM0");  // no by-id entry: described from /sys
    const fs::path usbDevice = fake.tree.sys / "devices" / "usb1" / "1-2";
    fs::create_directories(usbDevice / "1-2:1.0");
    std::ofstream(usbDevice / "product") << "Uno\n";
    std::ofstream(usbDevice / "manufacturer") << "Arduino (www.arduino.cc)\n";
    fake.sysFile("ttyACM0", "type", "0");
    fs::create_symlink(usbDevice / "1-2:1.0",
                       fake.tree.sys / "class" / "tty" / "ttyACM0" / "device");
    fake.refuse(fake.device("ttyACM1"));
    const testing::HeldDevice holder(fake.device("ttyACM2"));
    fake.onBoard(0, 4);  // a UART: port 1 without any link
    fake.onBoard(1, 0);  // slots the kernel always lists: left out
    fake.onBoard(2, 0);
    fake.device("ttyS3");    // no /sys entry at all: left out
    fake.onBoard(4, 4);      // a UART whose number com5 has taken: listed without a number
    fake.device("ttyUSBx");  // not a numbered device name
    fake.device("pts/7");
    fake.link(2, fake.tree.dev / "pts" / "7");
    fake.link(3, fake.tree.dev / "ttyUSB0");  // made by hand, to the kernel's name
    fake.link(5, fake.tree.dev / "ttyACM1");
    fake.link(6, fake.tree.dev / "ttyACM2");
    fake.link(9, fake.tree.dev / "serial" / "by-id" / "usb-Prolific_PL2303-if00-port0");
    fake.link(0, fake.tree.dev / "ttyS0");  // not a port number, nor is com07
    fs::create_symlink(fake.tree.dev / "ttyUSBx", fake.tree.portsDir / "com07");
    std::ofstream(fake.tree.portsDir / "notes.txt") << "not a port\n";

    const fs::path root = fake.tree.dev.parent_path();
    const std::vector<PortEntry> entries = DiscoverPorts(fake.tree);
    EXPECT_EQ(Lines(entries, root),
              (std::vector<std::string>{
                  "1 dev/ttyS0 | 主板串口 | 可用",
                  "2* dev/pts/7 | 伪终端(如模拟仪器) | 可用",
                  "3* dev/ttyUSB0 | FTDI FT232R USB UART A9M9DV3R | 可用",
                  "5* dev/ttyACM1 | USB 串口设备 (ACM) | 无权限",
                  "6* dev/ttyACM2 | USB 串口设备 (ACM) | 被占用",
                  "9* dev/serial/by-id/usb-Prolific_PL2303-if00-port0 | Prolific PL2303 | 不存在",
                  "- dev/ttyACM0 | Arduino (www.arduino.cc) Uno | 可用",
                  "- dev/ttyS4 | 主板串口 | 可用",
                  "- dev/ttyUSB1 | 1a86 USB2.0-Serial | 可用",
              }));
    // Probing leaves nothing held behind.
    EXPECT_EQ(Lines(DiscoverPorts(fake.tree), root), Lines(entries, root));
    // A binding keeps the stable name, so the number survives replugging.
    EXPECT_EQ(entries[2].stablePath, ftdi);
    EXPECT_EQ(entries[8].stablePath,
              fake.tree.dev / "serial" / "by-id" / "usb-1a86_USB2.0-Serial-if00-port0");
}

TEST(PortDiscoveryTest, ByIdNamesGiveMakerAndModel) {
    const std::pair<const char*, const char*> cases[] = {
        {kFtdi, "FTDI FT232R USB UART A9M9DV3R"},
        {"usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_Controller_0001-if00-port0",
         "Silicon Labs CP2102 USB to UART Bridge Controller 0001"},
        {"usb-Arduino__www.arduino.cc__0043_55736303831351B07151-if00",
         "Arduino www.arduino.cc 0043 55736303831351B07151"},
        {"usb-1a86_USB_Serial-if0a", "1a86 USB Serial"},
        {"pci-Some_Card", "pci-Some Card"},
    };
    for (const auto& [name, description] : cases)
        EXPECT_EQ(ByIdDescription(name), description) << name;
}

TEST(PortDiscoveryTest, ListTextAlignsColumnsByScreenWidth) {
    // U+0900 (3 bytes, 2 columns), U+07FF (2 bytes, 1 column), an emoji (4 bytes, 2 columns).
    constexpr const char* kWide = "\xE0\xA4\x80z\xDF\xBF\xF0\x9F\x98\x80";
    const std::vector<PortEntry> entries = {
        {3, true, "/dev/ttyUSB0", "/dev/serial/by-id/x", "FTDI", PortState::Available},
        {std::nullopt, false, "/dev/pts/12", "/dev/pts/12", "伪终端", PortState::Busy},
        {4, true, "/dev/ttyS3", "/dev/ttyS3", kWide, PortState::Missing},
    };
    EXPECT_EQ(PortListText(entries),
              "串口号  设备          说明    状态\n"
              "3       /dev/ttyUSB0  FTDI    可用\n"
              "-       /dev/pts/12   伪终端  被占用\n"
              "4       /dev/ttyS3    " +
                  std::string(kWide) + "  不存在\n");
    EXPECT_EQ(PortListText({}), "没有找到串口。\n");
}

TEST(PortDiscoveryTest, BindingReplacesTheLinkAndUnbindingRemovesIt) {
    FakeDeviceTree fake;
    const fs::path first = fake.device("ttyUSB0");
    const fs::path second = fake.device("ttyUSB1");
    const fs::path link = PortLinkPath(3, fake.tree);

    EXPECT_EQ(BindPort(3, first, fake.tree.portsDir), "");  // makes the folder too
    EXPECT_EQ(fs::read_symlink(link), first);
    EXPECT_EQ(BindPort(3, second, fake.tree.portsDir), "");
    EXPECT_EQ(fs::read_symlink(link), second);
    EXPECT_EQ(std::distance(fs::directory_iterator(fake.tree.portsDir), {}), 1);
    EXPECT_FALSE(BindPort(0, first, fake.tree.portsDir).empty());

    EXPECT_EQ(UnbindPort(3, fake.tree.portsDir), "");
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_EQ(UnbindPort(3, fake.tree.portsDir), "");  // nothing left to remove

    // A file that is not a link is the user's: neither replaced nor removed.
    std::ofstream(PortLinkPath(4, fake.tree)) << "mine\n";
    EXPECT_FALSE(BindPort(4, first, fake.tree.portsDir).empty());
    EXPECT_FALSE(UnbindPort(4, fake.tree.portsDir).empty());
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(PortLinkPath(4, fake.tree))));
}

}  // namespace
}  // namespace tavolex
