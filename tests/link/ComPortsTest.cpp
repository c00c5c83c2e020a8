// COM port names and what an open gives a Windows port, checked on every platform.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "ComPorts.h"

namespace tavolex {
namespace {

TEST(ComPorts, PortNumbersNameDevicesAboveNineTooAndOnlyComNamesGiveNumbers) {
    EXPECT_EQ(ComDevicePath(3), std::optional<std::string>("\\\\.\\COM3"));
    EXPECT_EQ(ComDevicePath(12), std::optional<std::string>("\\\\.\\COM12"));
    EXPECT_EQ(ComDevicePath(0), std::nullopt);
    EXPECT_EQ(ComDevicePath(-4), std::nullopt);
    const std::pair<std::string, std::optional<int>> cases[] = {
        {"COM1", 1},   {"com12", 12},   {std::string("COM3\0", 5), 3},  // registry strings end in 0
        {"COM4  ", 4}, {"COM256", 256}, {"COM", {}},
        {"COM0", {}},  {"COM01", {}},   {"COM257", {}},
        {"COM-1", {}}, {"COM3a", {}},   {"COMX", {}},
        {"LPT1", {}},  {"", {}},
    };
    for (const auto& [name, number] : cases)
        EXPECT_EQ(ComPortNumber(name), number) << name;
}

TEST(ComPorts, TheLineIsEightBitsNoParityOneStopBitDtrLowAtTheLinksRateWithItsQueues) {
    EXPECT_EQ(LineFieldsFor({7, 19200, 300}), (LineFields{19200, 8, 0, 0, 0, false}));
    // Rates without a number or below zero open nothing.
    for (const std::int32_t rate : {0, -9600, std::numeric_limits<std::int32_t>::min()})
        EXPECT_EQ(LineFieldsFor({7, rate, 0}), std::nullopt) << rate;
    // Command and acquisition set the queues; records keep the drivers'.
    EXPECT_EQ(QueueSizesFor(PortProfile::Command), (QueueSizes{1024, 512}));
    EXPECT_EQ(QueueSizesFor(PortProfile::Acquisition), (QueueSizes{1024, 512}));
    EXPECT_EQ(QueueSizesFor(PortProfile::Records), std::nullopt);
}

TEST(ComPorts, TheDeviceTableListsEachComPortOnceByNumberWithItsState) {
    const std::vector<SerialCommValue> values = {{"\\Device\\VCP0", std::string("COM12\0", 6)},
                                                 {"\\Device\\Serial0", "COM1"},
                                                 {"\\Device\\Parallel0", "LPT1"},
                                                 {"\\Device\\Serial1", "COM3"},
                                                 {"\\Device\\Serial9", "COM3"}};
    std::vector<std::string> probed;
    const auto probe = [&probed](const std::string& device) {
        probed.push_back(device);
        return device.ends_with("COM3") ? PortState::Busy : PortState::Available;
    };
    std::vector<std::tuple<std::optional<int>, std::string, std::string, PortState, bool>> got;
    for (const PortEntry& e : ComPortEntries(values, probe))
        got.emplace_back(e.portNumber, e.device.string(), e.description, e.state, e.bound);
    EXPECT_EQ(got,
              (decltype(got){{1, "\\\\.\\COM1", "\\Device\\Serial0", PortState::Available, false},
                             {3, "\\\\.\\COM3", "\\Device\\Serial1", PortState::Busy, false},
                             {12, "\\\\.\\COM12", "\\Device\\VCP0", PortState::Available, false}}));
    EXPECT_EQ(probed, (std::vector<std::string>{"\\\\.\\COM1", "\\\\.\\COM3", "\\\\.\\COM12"}));
    EXPECT_TRUE(ComPortEntries({}, probe).empty());
}

}  // namespace
}  // namespace tavolex
