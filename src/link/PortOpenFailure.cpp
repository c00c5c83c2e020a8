#include "PortOpenFailure.h"

#include <grp.h>
#include <sys/stat.h>

#include <system_error>
#include <vector>

#include "PortDiscovery.h"
#include "Translate.h"

namespace tavolex {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUsualGroup = "dialout";

// The group that may use the device: its own group where that group may read and write it,
// else the usual one.
std::string DeviceGroup(const fs::path& device) {
    struct stat info {};
    constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
    if (::stat(device.c_str(), &info) != 0 || info.st_gid == 0 ||
        (info.st_mode & kGroupReadWrite) != kGroupReadWrite) {
        return std::string(kUsualGroup);
    }
    group entry{};
    group* found = nullptr;
    std::vector<char> buffer(4096);
    if (::getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return std::string(kUsualGroup);
    return found->gr_name;
}

// Where the operator makes port `portNumber` mean another device.
std::string ChooseHint(int portNumber, const DeviceTree& tree, PortChooser chooser) {
    if (chooser == PortChooser::CommandLine) {
        return Substitute(Translate("PortOpenFailure",
                                    "请插上仪器的串口适配器,用 tavolex-cli ports 找到它,"
                                    "再在串口文件夹 %1 中把 com%2 链接到它。"),
                          {tree.portsDir.string(), std::to_string(portNumber)});
    }
    return Translate("PortOpenFailure",
                     "请插上仪器的串口适配器,用菜单“选择串口”(或“串口号:”旁的“…”按钮)"
                     "选择它。");
}

std::string MissingReason(int portNumber, const fs::path& link, bool bound, const DeviceTree& tree,
                          PortChooser chooser) {
    const std::string port = std::to_string(portNumber);
    const std::string hint = ChooseHint(portNumber, tree, chooser);
    if (bound) {
        std::error_code error;
        const fs::path target = fs::read_symlink(link, error);
        return Substitute(Translate("PortOpenFailure", "串口%1链接的设备 %2 不存在:%3"),
                          {port, (error ? link : target).string(), hint});
    }
    return Substitute(Translate("PortOpenFailure", "串口%1对应 %2,这台电脑上没有这个串口:%3"),
                      {port, link.string(), hint});
}

// An on-board port that the kernel lists without hardware behind it opens no better than a
// missing one.
bool IsEmptyUartSlot(const fs::path& device, const DeviceTree& tree) {
    const std::string name = device.filename().string();
    return name.starts_with("ttyS") && device.parent_path() == tree.dev && !HasUart(name, tree);
}

// Why an existing device cannot be opened, or that it refused the line settings.
std::string PresentDeviceReason(const fs::path& device, PortState state, std::int32_t baudRate) {
    switch (state) {
        case PortState::NoPermission: {
            const std::string group = DeviceGroup(device);
            return Substitute(Translate("PortOpenFailure",
                                        "没有读写 %1 的权限:请把当前用户加入 %2 组"
                                        "(sudo usermod -aG %2 $USER),然后注销并重新登录。"),
                              {device.string(), group});
        }
        case PortState::Busy:
            return Substitute(Translate("PortOpenFailure",
                                        "%1 正被其他程序占用:请关闭占用它的程序"
                                        "(或停止本程序的连续采集)后再试。"),
                              {device.string()});
        case PortState::Missing:
        case PortState::Available:
            break;
    }
    return Substitute(
        Translate("PortOpenFailure", "%1 不接受串口设置(波特率 %2):它可能不是串口设备。"),
        {device.string(), std::to_string(baudRate)});
}

}  // namespace

std::string PortOpenFailureReason(const LinkSettings& settings, const DeviceTree& tree,
                                  PortChooser chooser) {
    const int number = settings.portNumber;
    const auto path = DevicePathForPort(number, tree);
    if (!path) {
        return Substitute(Translate("PortOpenFailure", "串口号从1开始,%1不对应任何串口。"),
                          {std::to_string(number)});
    }
    const bool bound = *path == PortLinkPath(number, tree);
    std::error_code error;
    fs::path device = fs::canonical(*path, error);
    if (error) device = *path;

    PortState state = ProbeDevice(device, tree);
    if (state != PortState::Missing && !bound && IsEmptyUartSlot(device, tree))
        state = PortState::Missing;
    if (state == PortState::Missing) return MissingReason(number, *path, bound, tree, chooser);
    return PresentDeviceReason(device, state, settings.baudRate);
}

std::string PortNoReplyReason(const LinkSettings& settings, const DeviceTree& tree,
                              PortChooser chooser) {
    const int number = settings.portNumber;
    const auto path = DevicePathForPort(number, tree);
    if (!path) return {};
    const bool bound = *path == PortLinkPath(number, tree);
    std::error_code error;
    fs::path device = fs::canonical(*path, error);
    if (error) device = *path;
    const std::string port = std::to_string(number);
    if (!bound && IsEmptyUartSlot(device, tree)) {
        return Substitute(Translate("PortOpenFailure",
                                    "没有收到回复:串口%1对应 %2,这是系统列出的板载串口,"
                                    "后面没有串口硬件。%3"),
                          {port, device.string(), ChooseHint(number, tree, chooser)});
    }
    return Substitute(Translate("PortOpenFailure",
                                "没有收到回复:串口%1对应 %2。请检查仪器的电源、连线、"
                                "波特率和设备地址。"),
                      {port, device.string()});
}

std::string DeviceOpenFailureReason(const fs::path& device, std::int32_t baudRate,
                                    const DeviceTree& tree) {
    std::error_code error;
    fs::path target = fs::canonical(device, error);
    if (error) target = device;
    const PortState state = ProbeDevice(target, tree);
    if (state == PortState::Missing) {
        return Substitute(
            Translate("PortOpenFailure", "%1 不存在:请插上仪器的串口适配器,或检查设备的路径。"),
            {device.string()});
    }
    return PresentDeviceReason(target, state, baudRate);
}

}  // namespace tavolex
