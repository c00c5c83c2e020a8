#include "PortOpenFailure.h"

#include <grp.h>
#include <sys/stat.h>

#include <system_error>
#include <vector>

#include "PortDiscovery.h"

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

std::string MissingReason(int portNumber, const fs::path& link, bool bound) {
    const std::string port = "串口" + std::to_string(portNumber);
    if (bound) {
        std::error_code error;
        const fs::path target = fs::read_symlink(link, error);
        return port + "链接的设备 " + (error ? link : target).string() +
               " 不存在:请插上仪器的串口适配器,或在右键菜单“选择串口”中重新选择。";
    }
    return port + "对应 " + link.string() +
           ",这台电脑上没有这个串口:请插上仪器的串口适配器,在右键菜单“选择串口”中选择它。";
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
            return "没有读写 " + device.string() + " 的权限:请把当前用户加入 " + group +
                   " 组(sudo usermod -aG " + group + " $USER),然后注销并重新登录。";
        }
        case PortState::Busy:
            return device.string() +
                   " 正被其他程序占用:请关闭占用它的程序(或停止本程序的连续采集)后再试。";
        case PortState::Missing:
        case PortState::Available:
            break;
    }
    return device.string() + " 不接受串口设置(波特率 " + std::to_string(baudRate) +
           "):它可能不是串口设备。";
}

}  // namespace

std::string PortOpenFailureReason(const LinkSettings& settings, const DeviceTree& tree) {
    const int number = settings.portNumber;
    const auto path = DevicePathForPort(number, tree);
    if (!path) return "串口号从1开始," + std::to_string(number) + "不对应任何串口。";
    const bool bound = *path == PortLinkPath(number, tree);
    std::error_code error;
    fs::path device = fs::canonical(*path, error);
    if (error) device = *path;

    PortState state = ProbeDevice(device, tree);
    if (state != PortState::Missing && !bound && IsEmptyUartSlot(device, tree))
        state = PortState::Missing;
    if (state == PortState::Missing) return MissingReason(number, *path, bound);
    return PresentDeviceReason(device, state, settings.baudRate);
}

std::string DeviceOpenFailureReason(const fs::path& device, std::int32_t baudRate,
                                    const DeviceTree& tree) {
    std::error_code error;
    fs::path target = fs::canonical(device, error);
    if (error) target = device;
    const PortState state = ProbeDevice(target, tree);
    if (state == PortState::Missing) {
        return device.string() + " 不存在:请插上仪器的串口适配器,或检查设备的路径。";
    }
    return PresentDeviceReason(target, state, baudRate);
}

}  // namespace tavolex
