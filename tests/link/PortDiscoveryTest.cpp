#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "FakeDeviceTree.h"
#include "FakeLine.h"
#include "PortDiscovery.h"
#include "PortOpenFailure.h"
#include "PosixSerialPort.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using testing::FakeDeviceTree;

// One line per entry: number, bound mark, device relative to the tree, description, state.
std::vector<std::string> Lines(const std::vector<PortEntry>& entries, const fs::path& root) {
    std::vector<std::string> lines;
    for (const PortEntry& e : entries) {
        const fs::path device =
            e.device.is_absolute() && e.device.string().starts_with(root.string())
                ? e.device.lexically_relative(root)
                : e.device;
        lines.push_back((e.portNumber ? std::to_string(*e.portNumber) : "-") +
                        (e.bound ? "* " : " ") + device.string() + " | " + e.description + " | " +
                        std::string(PortStateText(e.state)));
    }
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
    fake.link(0, fake.tree.dev / "ttyS0");  // not a port number
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
    const std::vector<PortEntry> entries = {
        {3, true, "/dev/ttyUSB0", "/dev/serial/by-id/x", "FTDI", PortState::Available},
        {std::nullopt, false, "/dev/pts/12", "/dev/pts/12", "伪终端", PortState::Busy},
    };
    EXPECT_EQ(PortListText(entries),
              "串口号  设备          说明    状态\n"
              "3       /dev/ttyUSB0  FTDI    可用\n"
              "-       /dev/pts/12   伪终端  被占用\n");
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

TEST(PortOpenFailureTest, ReasonSaysWhyAndWhatToDo) {
    FakeDeviceTree fake;
    fake.onBoard(1, 0);                         // port 2: a slot without a UART
    fake.link(4, fake.byId(kFtdi, "ttyUSB0"));  // port 4: the adapter is unplugged
    const fs::path refused = fake.device("ttyUSB1");
    fake.refuse(refused);
    fake.link(5, refused);
    const fs::path held = fake.device("ttyACM0");
    fake.link(6, held);
    const testing::HeldDevice holder(held);
    fake.link(7, fake.device("ttyACM1"));  // there and free, but not a terminal
    // Refused devices that their group may use: that group is named, unless it is root's.
    const group* uucp = ::getgrnam("uucp");
    ASSERT_NE(uucp, nullptr);
    for (const auto& [port, gid] : {std::pair{8, uucp->gr_gid}, std::pair{9, gid_t{0}}}) {
        const fs::path device = fake.device("ttyUSB" + std::to_string(port));
        ASSERT_EQ(::chown(device.c_str(), 0, gid), 0);
        fs::permissions(device, fs::perms::owner_read | fs::perms::owner_write |
                                    fs::perms::group_read | fs::perms::group_write);
        fake.refuse(device);
        fake.link(port, device);
    }

    const std::string dev = fake.tree.dev.string();
    const auto noRights = [&](const std::string& device, const std::string& group) {
        return "没有读写 " + dev + device + " 的权限:请把当前用户加入 " + group +
               " 组(sudo usermod -aG " + group + " $USER),然后注销并重新登录。";
    };
    const std::string choose =
        "请插上仪器的串口适配器,用菜单“选择串口”(或“串口号:”旁的“…”按钮)选择它。";
    const std::pair<int, std::string> cases[] = {
        {0, "串口号从1开始,0不对应任何串口。"},
        {1, "串口1对应 " + dev + "/ttyS0,这台电脑上没有这个串口:" + choose},
        {2, "串口2对应 " + dev + "/ttyS1,这台电脑上没有这个串口:" + choose},
        {4, "串口4链接的设备 " + dev + "/serial/by-id/" + kFtdi + " 不存在:" + choose},
        {5, noRights("/ttyUSB1", "dialout")},
        {6, dev + "/ttyACM0 正被其他程序占用:请关闭占用它的程序(或停止本程序的连续采集)后再试。"},
        {7, dev + "/ttyACM1 不接受串口设置(波特率 9600):它可能不是串口设备。"},
        {8, noRights("/ttyUSB8", "uucp")},
        {9, noRights("/ttyUSB9", "dialout")},
    };
    for (const auto& [port, reason] : cases) {
        PosixPortOpener opener(fake.tree);
        EXPECT_EQ(opener.open({port, 9600, 0}, PortProfile::Command), nullptr) << port;
        EXPECT_EQ(OpenFailureMessage("打开串口错误!", opener, {port, 9600, 0}),
                  "打开串口错误!\n" + reason);
    }
}

// The client has no port chooser: its reasons send the operator to its port list and the
// ports folder instead. No reply names the device, and says when it is an empty on-board slot.
TEST(PortOpenFailureTest, NoReplyNamesTheDeviceAndTheClientIsSentToItsPortList) {
    FakeDeviceTree fake;
    fake.onBoard(0, 4);  // port 1: a UART that is there
    fake.onBoard(1, 0);  // port 2: a slot without a UART
    const fs::path adapter = fake.device("ttyUSB0");
    fake.link(3, adapter);
    fake.link(4, fake.byId(kFtdi, "ttyUSB1"));
    const std::string dev = fake.tree.dev.string(), head = "返回数据错误!\n没有收到回复:串口";
    const std::string check = "。请检查仪器的电源、连线、波特率和设备地址。";
    PosixPortOpener window(fake.tree), client(fake.tree, PortChooser::CommandLine);
    const auto noReply = [&](int port) {
        return NoReplyMessage("返回数据错误!", window, {port, 9600, 0});
    };
    EXPECT_EQ(noReply(1), head + "1对应 " + dev + "/ttyS0" + check);
    EXPECT_EQ(noReply(3), head + "3对应 " + adapter.string() + check);
    EXPECT_EQ(noReply(2),
              head + "2对应 " + dev +
                  "/ttyS1,这是系统列出的板载串口,后面没有串口硬件。"
                  "请插上仪器的串口适配器,用菜单“选择串口”(或“串口号:”旁的“…”按钮)选择它。");
    EXPECT_EQ(noReply(0), "返回数据错误!");
    EXPECT_NE(client.noReplyReason({2, 9600, 0}).find("tavolex-cli ports"), std::string::npos);
    const std::string reason = client.failureReason({4, 9600, 0});
    EXPECT_NE(reason.find("tavolex-cli ports"), std::string::npos) << reason;
    EXPECT_NE(reason.find(fake.tree.portsDir.string() + " 中把 com4 链接到它"), std::string::npos);
    EXPECT_EQ(reason.find("选择串口"), std::string::npos) << reason;
    // An opener that cannot tell adds no second line.
    ManualClock clock;
    testing::FakeLine line(clock);
    testing::FakePortOpener fakeOpener(line);
    EXPECT_EQ(OpenFailureMessage("请先打开串口!", fakeOpener, {}), "请先打开串口!");
    EXPECT_EQ(NoReplyMessage("返回数据错误!", fakeOpener, {}), "返回数据错误!");
}

}  // namespace
}  // namespace tavolex
