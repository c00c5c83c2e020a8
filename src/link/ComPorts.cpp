#include "ComPorts.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace tavolex {

namespace {

constexpr std::uint32_t kInputQueueBytes = 1024;
constexpr std::uint32_t kOutputQueueBytes = 512;
// Port numbers the system hands out stay well below this.
constexpr int kHighestPortNumber = 256;

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::optional<std::string> ComDevicePath(int portNumber) {
    if (portNumber < 1) return std::nullopt;
    return "\\\\.\\COM" + std::to_string(portNumber);
}

std::optional<int> ComPortNumber(std::string_view name) {
    while (!name.empty() && (name.back() == '\0' || name.back() == ' '))
        name.remove_suffix(1);
    if (name.size() < 4 || Upper(name[0]) != 'C' || Upper(name[1]) != 'O' || Upper(name[2]) != 'M')
        return std::nullopt;
    const std::string_view digits = name.substr(3);
    if (digits.front() == '0') return std::nullopt;
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    if (number < 1 || number > kHighestPortNumber) return std::nullopt;
    return number;
}

std::optional<LineFields> LineFieldsFor(const LinkSettings& settings) {
    if (settings.baudRate <= 0) return std::nullopt;
    LineFields fields;
    fields.baudRate = static_cast<std::uint32_t>(settings.baudRate);
    return fields;
}

std::optional<QueueSizes> QueueSizesFor(PortProfile profile) {
    switch (profile) {
        case PortProfile::Command:
        case PortProfile::Acquisition:
            return QueueSizes{kInputQueueBytes, kOutputQueueBytes};
        case PortProfile::Records:
            break;
    }
    return std::nullopt;
}

std::vector<PortEntry> ComPortEntries(const std::vector<SerialCommValue>& values,
                                      const std::function<PortState(const std::string&)>& probe) {
    std::map<int, std::string> drivers;
    for (const auto& [driverName, portName] : values) {
        if (const auto number = ComPortNumber(portName)) drivers.emplace(*number, driverName);
    }
    std::vector<PortEntry> entries;
    for (const auto& [number, driverName] : drivers) {
        const std::string device = *ComDevicePath(number);
        PortEntry entry;
        entry.portNumber = number;
        entry.device = device;
        entry.stablePath = device;
        entry.description = driverName;
        entry.state = probe(device);
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace tavolex
