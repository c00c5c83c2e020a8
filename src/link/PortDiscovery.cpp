#include "PortDiscovery.h"
#include "Translate.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <map>

namespace tavolex {

namespace fs = std::filesystem;

namespace {

// A device found in /dev, before the ports folder gives it a number.
struct Device {
    fs::path path;
    fs::path stablePath;
    std::string description;
};

fs::path Resolved(const fs::path& path) {
    std::error_code error;
    fs::path resolved = fs::canonical(path, error);
    return error ? path : resolved;
}

std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// "com12" gives 12; other names give none.
std::optional<int> ComNumber(const std::string& name) {
    if (!name.starts_with("com")) return std::nullopt;
    int number = 0;
    const char* first = name.data() + 3;
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || end != last || number < 1 || name != "com" + std::to_string(number))
        return std::nullopt;
    return number;
}

bool HasNumberedName(const std::string& name, std::string_view prefix) {
    return name.size() > prefix.size() && name.starts_with(prefix) &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// Maker and product of the USB device behind a tty, from the nearest folder above it in
// /sys that names them.
std::string UsbDescription(const std::string& name, const DeviceTree& tree) {
    std::error_code error;
    fs::path folder = fs::canonical(tree.sys / "class" / "tty" / name / "device", error);
    for (int up = 0; !error && up < 4 && !folder.empty(); ++up, folder = folder.parent_path()) {
        const std::string product = FirstLine(folder / "product");
        if (product.empty()) continue;
        const std::string maker = FirstLine(folder / "manufacturer");
        return maker.empty() ? product : maker + " " + product;
    }
    return name.starts_with("ttyACM") ? TAVOLEX_TRANSLATABLE("PortDiscovery", "USB 串口设备 (ACM)")
                                      : TAVOLEX_TRANSLATABLE("PortDiscovery", "USB 串口适配器");
}

std::vector<Device> DevicesPresent(const DeviceTree& tree) {
    std::vector<Device> devices;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(tree.dev / "serial" / "by-id", error)) {
        const fs::path device = Resolved(entry.path());
        if (!fs::exists(device, error)) continue;
        devices.push_back(
            {device, entry.path(), ByIdDescription(entry.path().filename().string())});
    }
    const auto known = [&devices](const fs::path& path) {
        return std::any_of(devices.begin(), devices.end(),
                           [&](const Device& d) { return d.path == path; });
    };
    std::vector<fs::path> bare;
    for (const auto& entry : fs::directory_iterator(tree.dev, error)) {
        const std::string name = entry.path().filename().string();
        const bool usb = HasNumberedName(name, "ttyUSB") || HasNumberedName(name, "ttyACM");
        const bool uart = HasNumberedName(name, "ttyS") && HasUart(name, tree);
        if ((usb || uart) && !known(Resolved(entry.path()))) bare.push_back(entry.path());
    }
    std::sort(bare.begin(), bare.end());
    for (const fs::path& path : bare) {
        const std::string name = path.filename().string();
        const std::string description = name.starts_with("ttyS")
                                            ? TAVOLEX_TRANSLATABLE("PortDiscovery", "主板串口")
                                            : UsbDescription(name, tree);
        devices.push_back({Resolved(path), path, description});
    }
    return devices;
}

// An entry of the ports folder: the device it names, described by what was found there.
PortEntry EntryForLink(int number, const fs::path& link, const std::vector<Device>& devices,
                       const DeviceTree& tree) {
    PortEntry entry;
    entry.portNumber = number;
    entry.bound = true;
    std::error_code error;
    const fs::path target = fs::is_symlink(link, error) ? fs::read_symlink(link, error) : link;
    if (!fs::exists(link, error)) {
        entry.device = target;
        entry.stablePath = target;
        if (target.parent_path().filename() == "by-id")
            entry.description = ByIdDescription(target.filename().string());
        entry.state = PortState::Missing;
        return entry;
    }
    entry.device = Resolved(link);
    entry.stablePath = target.is_absolute() ? target : entry.device;
    const auto found = std::find_if(devices.begin(), devices.end(),
                                    [&](const Device& d) { return d.path == entry.device; });
    if (found != devices.end()) {
        entry.stablePath = found->stablePath;
        entry.description = found->description;
    } else if (entry.device.parent_path().filename() == "pts") {
        entry.description = TAVOLEX_TRANSLATABLE("PortDiscovery", "伪终端(如模拟仪器)");
    }
    entry.state = ProbeDevice(entry.device, tree);
    return entry;
}

bool ComesBefore(const PortEntry& a, const PortEntry& b) {
    if (a.portNumber.has_value() != b.portNumber.has_value()) return a.portNumber.has_value();
    if (a.portNumber != b.portNumber) return a.portNumber < b.portNumber;
    return a.device < b.device;
}

std::string Failure(const std::string& what, const std::error_code& error) {
    return what + ":" + error.message();
}

}  // namespace

bool HasUart(std::string_view ttyName, const DeviceTree& tree) {
    const std::string type = FirstLine(tree.sys / "class" / "tty" / ttyName / "type");
    int value = 0;
    const auto [end, error] = std::from_chars(type.data(), type.data() + type.size(), value);
    return error == std::errc() && value != 0;
}

PortState ProbeDevice(const fs::path& device, const DeviceTree& tree) {
    std::error_code error;
    if (!fs::exists(device, error)) return PortState::Missing;
    if (!tree.mayReadWrite(device)) return PortState::NoPermission;
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM) return PortState::NoPermission;
        // Another holder opened it exclusively (root is let through, and meets the lock).
        if (errno == EBUSY) return PortState::Busy;
        return PortState::Missing;  // ENXIO, ENODEV, EIO: no hardware answers
    }
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked ? PortState::Busy : PortState::Available;
}

std::vector<PortEntry> DiscoverPorts(const DeviceTree& tree) {
    const std::vector<Device> devices = DevicesPresent(tree);
    std::vector<PortEntry> entries;
    std::map<int, fs::path> links;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(tree.portsDir, error)) {
        if (const auto number = ComNumber(item.path().filename().string()))
            links.emplace(*number, item.path());
    }
    for (const auto& [number, link] : links)
        entries.push_back(EntryForLink(number, link, devices, tree));

    for (const Device& device : devices) {
        const bool linked = std::any_of(entries.begin(), entries.end(), [&](const PortEntry& e) {
            return e.device == device.path;
        });
        if (linked) continue;
        PortEntry entry{std::nullopt,       false,
                        device.path,        device.stablePath,
                        device.description, ProbeDevice(device.path, tree)};
        // Without a link of its own, port n is ttyS(n-1).
        const std::string name = device.path.filename().string();
        if (HasNumberedName(name, "ttyS") && device.path.parent_path() == tree.dev) {
            const int number = std::stoi(name.substr(4)) + 1;
            if (!links.contains(number)) entry.portNumber = number;
        }
        entries.push_back(std::move(entry));
    }
    std::stable_sort(entries.begin(), entries.end(), ComesBefore);
    return entries;
}

std::string BindPort(int portNumber, const fs::path& device, const fs::path& portsDir) {
    if (portNumber < 1) return Translate("PortDiscovery", "串口号必须大于0。");
    std::error_code error;
    fs::create_directories(portsDir, error);
    if (error) {
        return Failure(
            Substitute(Translate("PortDiscovery", "不能建立文件夹 %1"), {portsDir.string()}),
            error);
    }
    const fs::path link = portsDir / ("com" + std::to_string(portNumber));
    const fs::file_status status = fs::symlink_status(link, error);
    if (fs::exists(status) && !fs::is_symlink(status))
        return Substitute(Translate("PortDiscovery", "%1 不是链接,没有替换它。"), {link.string()});
    // Made aside and renamed over the old link, so the port always names one device or the
    // other, never nothing.
    const fs::path fresh =
        portsDir / (".com" + std::to_string(portNumber) + ".new-" + std::to_string(::getpid()));
    fs::remove(fresh, error);
    fs::create_symlink(device, fresh, error);
    const std::string cannotLink =
        Substitute(Translate("PortDiscovery", "不能建立链接 %1"), {link.string()});
    if (error) return Failure(cannotLink, error);
    fs::rename(fresh, link, error);
    if (error) {
        std::error_code ignored;
        fs::remove(fresh, ignored);
        return Failure(cannotLink, error);
    }
    return {};
}

std::string UnbindPort(int portNumber, const fs::path& portsDir) {
    const fs::path link = portsDir / ("com" + std::to_string(portNumber));
    std::error_code error;
    const fs::file_status status = fs::symlink_status(link, error);
    if (!fs::exists(status)) return {};
    if (!fs::is_symlink(status))
        return Substitute(Translate("PortDiscovery", "%1 不是链接,没有删除它。"), {link.string()});
    fs::remove(link, error);
    if (error) {
        return Failure(Substitute(Translate("PortDiscovery", "不能删除链接 %1"), {link.string()}),
                       error);
    }
    return {};
}

}  // namespace tavolex
