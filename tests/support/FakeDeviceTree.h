// A /dev, /sys and ports folder of a test's own: devices are plain files (which a serial open
// refuses, as it refuses a device that is not a terminal), and the test says which of them
// this user may not open.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "PortNaming.h"
#include "TemporaryDirectory.h"

namespace tavolex::testing {

class FakeDeviceTree {
public:
    FakeDeviceTree() {
        std::filesystem::create_directories(m_root.path() / "dev");
        std::filesystem::create_directories(m_root.path() / "sys");
        tree.portsDir = m_root.path() / "ports";
        tree.dev = m_root.path() / "dev";
        tree.sys = m_root.path() / "sys";
        tree.mayReadWrite = [this](const std::filesystem::path& device) {
            return !refused.contains(std::filesystem::canonical(device));
        };
    }

    // A device file /dev/<name>; returns its path.
    std::filesystem::path device(const std::string& name) {
        const std::filesystem::path path = tree.dev / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream{path};
        return path;
    }
    // /dev/serial/by-id/<name>, linked to /dev/<target> as udev links it.
    std::filesystem::path byId(const std::string& name, const std::string& target) {
        const std::filesystem::path path = tree.dev / "serial" / "by-id" / name;
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::create_symlink("../../" + target, path);
        return path;
    }
    // /sys/class/tty/<name>/<file> holding `text`.
    void sysFile(const std::string& name, const std::string& file, const std::string& text) {
        const std::filesystem::path folder = tree.sys / "class" / "tty" / name;
        std::filesystem::create_directories(folder);
        std::ofstream(folder / file) << text << '\n';
    }
    // An on-board port: /dev/ttyS<n>, with the port type the kernel reports (0: no UART).
    void onBoard(int n, int type) {
        device("ttyS" + std::to_string(n));
        sysFile("ttyS" + std::to_string(n), "type", std::to_string(type));
    }
    // ports/com<n> linked to `target`.
    void link(int n, const std::filesystem::path& target) {
        std::filesystem::create_directories(tree.portsDir);
        std::filesystem::create_symlink(target, PortLinkPath(n, tree));
    }
    void refuse(const std::filesystem::path& device) {
        refused.insert(std::filesystem::canonical(device));
    }

    DeviceTree tree;
    std::set<std::filesystem::path> refused;

private:
    TemporaryDirectory m_root{"devices-" + CurrentTestName()};
};

// Holds an exclusive lock on a device, as another program holding the port does.
class HeldDevice {
public:
    explicit HeldDevice(const std::filesystem::path& device)
        : m_fd(::open(device.c_str(), O_RDWR | O_CLOEXEC)) {
        EXPECT_EQ(::flock(m_fd, LOCK_EX | LOCK_NB), 0) << device;
    }
    ~HeldDevice() { ::close(m_fd); }
    HeldDevice(const HeldDevice&) = delete;
    HeldDevice& operator=(const HeldDevice&) = delete;

private:
    int m_fd;
};

}  // namespace tavolex::testing
