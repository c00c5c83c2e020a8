// Why a port did not open or did not answer, and what the operator can do about it.
#include "PortOpenFailure.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "FakeDeviceTree.h"
#include "FakeLine.h"
#include "PosixSerialPort.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using testing::FakeDeviceTree;

constexpr const char* kFtdi = "usb-FTDI_FT232R_USB_UART_A9M9DV3R-if00-port0";
const std::string kChoose =
    "请插上仪器的串口适配器,用菜单“选择串口”(或“串口号:”旁的“…”按钮)选择它。";

// The reasons say why and what to do; a missing reply names the device, and says when it is an
// empty on-board slot. The client has no port chooser: its reasons send the operator to its port
// list and the ports folder instead.
TEST(PortOpenFailureTest, ReasonSaysWhyAndWhatToDoAndNoReplyNamesTheDevice) {
    FakeDeviceTree fake;
    fake.onBoard(0, 4);                         // port 1: a UART that is there
    fake.onBoard(1, 0);                         // port 2: a slot without a UART
    fake.link(4, fake.byId(kFtdi, "ttyUSB0"));  // port 4: the adapter is unplugged
    const fs::path refused = fake.device("ttyUSB1");
    fake.refuse(refused);
    fake.link(5, refused);
    const fs::path held = fake.device("ttyACM0");
    fake.link(6, held);
    const testing::HeldDevice holder(held);
    fake.link(7, fake.device("ttyACM1"));    // there and free, but not a terminal
    fake.link(11, fake.tree.dev / "ttyS1");  // bound to the empty slot: taken as a device
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
    const std::pair<int, std::string> cases[] = {
        {0, "串口号从1开始,0不对应任何串口。"},
        {10, "串口10对应 " + dev + "/ttyS9,这台电脑上没有这个串口:" + kChoose},
        {2, "串口2对应 " + dev + "/ttyS1,这台电脑上没有这个串口:" + kChoose},
        {4, "串口4链接的设备 " + dev + "/serial/by-id/" + kFtdi + " 不存在:" + kChoose},
        {5, noRights("/ttyUSB1", "dialout")},
        {6, dev + "/ttyACM0 正被其他程序占用:请关闭占用它的程序(或停止本程序的连续采集)后再试。"},
        {7, dev + "/ttyACM1 不接受串口设置(波特率 9600):它可能不是串口设备。"},
        {8, noRights("/ttyUSB8", "uucp")},
        {9, noRights("/ttyUSB9", "dialout")},
        {11, dev + "/ttyS1 不接受串口设置(波特率 9600):它可能不是串口设备。"},
    };
    PosixPortOpener window(fake.tree), client(fake.tree, PortChooser::CommandLine);
    for (const auto& [port, reason] : cases) {
        EXPECT_EQ(window.open({port, 9600, 0}, PortProfile::Command), nullptr) << port;
        EXPECT_EQ(OpenFailureMessage("打开串口错误!", window, {port, 9600, 0}),
                  "打开串口错误!\n" + reason);
    }

    const std::string head = "返回数据错误!\n没有收到回复:串口";
    const std::string check = "。请检查仪器的电源、连线、波特率和设备地址。";
    const auto noReply = [&](int port) {
        return NoReplyMessage("返回数据错误!", window, {port, 9600, 0});
    };
    EXPECT_EQ(noReply(1), head + "1对应 " + dev + "/ttyS0" + check);
    EXPECT_EQ(noReply(7), head + "7对应 " + dev + "/ttyACM1" + check);
    EXPECT_EQ(noReply(2),
              head + "2对应 " + dev + "/ttyS1,这是系统列出的板载串口,后面没有串口硬件。" + kChoose);
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
