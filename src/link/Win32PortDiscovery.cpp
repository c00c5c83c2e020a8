// The COM ports of a Windows machine, and why one of them would not open.
#include <algorithm>
#include <vector>

#include "ComPorts.h"
#include "PortDiscovery.h"
#include "PortOpenFailure.h"
#include "Win32SerialPort.h"

namespace tavolex {

namespace {

namespace fs = std::filesystem;

// Every value of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM: the drivers write one for each COM port
// present now, and remove it when the device goes.
std::vector<SerialCommValue> SerialCommValues() {
    std::vector<SerialCommValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        BYTE data[256];
        DWORD nameSize = sizeof name;
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        const LONG result =
            RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data, &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || type != REG_SZ) continue;
        values.emplace_back(std::string(name, nameSize),
                            std::string(reinterpret_cast<const char*>(data), dataSize));
    }
    RegCloseKey(key);
    return values;
}

PortState ProbeComDevice(const std::string& device) {
    HANDLE handle = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return PortState::Available;
    }
    switch (GetLastError()) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return PortState::Busy;
        default:
            return PortState::Missing;
    }
}

std::string PresentDeviceReason(const std::string& device, PortState state, std::int32_t baudRate) {
    if (state == PortState::Busy) {
        return device + " 正被其他程序占用:请关闭占用它的程序(或停止本程序的连续采集)后再试。";
    }
    return device + " 不接受串口设置(波特率 " + std::to_string(baudRate) + "):它可能不是串口设备。";
}

}  // namespace

PortState ProbeDevice(const fs::path& device, const DeviceTree& /*tree*/) {
    return ProbeComDevice(device.string());
}

std::vector<PortEntry> DiscoverPorts(const DeviceTree& /*tree*/) {
    return ComPortEntries(SerialCommValues(), ProbeComDevice);
}

std::string PortOpenFailureReason(const LinkSettings& settings, const DeviceTree& /*tree*/,
                                  PortChooser /*chooser*/) {
    const int number = settings.portNumber;
    const std::optional<std::string> device = ComDevicePath(number);
    if (!device) return "串口号从1开始," + std::to_string(number) + "不对应任何串口。";
    const PortState state = ProbeComDevice(*device);
    if (state == PortState::Missing) {
        return "这台电脑上没有串口COM" + std::to_string(number) +
               ":请插上仪器的串口适配器,在设备管理器的“端口(COM 和 LPT)”中查看它的串口号。";
    }
    return PresentDeviceReason("COM" + std::to_string(number), state, settings.baudRate);
}

std::string DeviceOpenFailureReason(const fs::path& device, std::int32_t baudRate,
                                    const DeviceTree& /*tree*/) {
    const PortState state = ProbeComDevice(device.string());
    if (state == PortState::Missing) {
        return device.string() + " 不存在:请插上仪器的串口适配器,或检查设备的路径。";
    }
    return PresentDeviceReason(device.string(), state, baudRate);
}

// Windows gives each COM port its number; it is changed in the Device Manager, not here.
std::string BindPort(int /*portNumber*/, const fs::path& /*device*/, const fs::path& /*portsDir*/) {
    return "Windows 上的串口号由系统分配:请在设备管理器中更改串口号。";
}

std::string UnbindPort(int portNumber, const fs::path& portsDir) {
    return BindPort(portNumber, {}, portsDir);
}

}  // namespace tavolex
