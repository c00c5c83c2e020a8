// COM port names and what an open gives a Windows port, checked on every platform.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "ComPorts.h"

namespace tavolex {
namespace {

TEST(ComPorts, PortNumbersNameDevicesThatAlsoReachPortsAboveNine) {
    EXPECT_EQ(ComDevicePath(3), std::optional<std::string>("\\\\.\\COM3"));
    EXPECT_EQ(ComDevicePath(12), std::optional<std::string>("\\\\.\\COM12"));
    EXPECT_EQ(ComDevicePath(0), std::nullopt);
    EXPECT_EQ(ComDevicePath(-4), std::nullopt);
}

TEST(ComPorts, OnlyComNamesGivePortNumbers) {
    const struct {
        std::string name;
        std::optional<int> number;
    } cases[] = {
        {"COM1", 1},
        {"com12", 12},
        {std::string("COM3\0", 5), 3},  // registry strings keep their terminator
        {"COM4  ", 4},
        {"COM256", 256},
        {"COM", std::nullopt},
        {"COM0", std::nullopt},
        {"COM01", std::nullopt},
        {"COM257", std::nullopt},
        {"COM-1", std::nullopt},
        {"COM3a", std::nullopt},
        {"COMX", std::nullopt},
        {"LPT1", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComPortNumber(c.name), c.number) << c.name;
}

TEST(ComPorts, TheLineIsEightBitsNoParityOneStopBitDtrLowAtTheLinksRate) {
    EXPECT_EQ(LineFieldsFor({7, 19200, 300}), (LineFields{19200, 8, 0, 0, 0, false}));
    // Rates without a number or below zero open nothing.
    for (const std::int32_t rate : {0, -9600, std::numeric_limits<std::int32_t>::min()})
        EXPECT_EQ(LineFieldsFor({7, rate, 0}), std::nullopt) << rate;
}

TEST(ComPorts, CommandAndAcquisitionSetTheQueuesAndRecordsKeepsTheDrivers) {
    EXPECT_EQ(QueueSizesFor(PortProfile::Command), (QueueSizes{1024, 512}));
    EXPECT_EQ(QueueSizesFor(PortProfile::Acquisition), (QueueSizes{1024, 512}));
    EXPECT_EQ(QueueSizesFor(PortProfile::Records), std::nullopt);
}

TEST(ComPorts, TheDeviceTableListsEachComPortOnceByNumberWithItsState) {
    const std::vector<SerialCommValue> values = {
        {"\\Device\\VCP0", std::string("COM12\0", 6)},
        {"\\Device\\Serial0", "COM1"},
        {"\\Device\\Parallel0", "LPT1"},
        {"\\Device\\Serial1", "COM3"},
        {"\\Device\\Serial9", "COM3"},
    };
    std::vector<std::string> probed;
    const auto probe = [&probed](const std::string& device) {
        probed.push_back(device);
        return device.ends_with("COM3") ? PortState::Busy : PortState::Available;
    };
    const std::vector<PortEntry> entries = ComPortEntries(values, probe);

    ASSERT_EQ(entries.size(), 3U);
    const struct {
        int number;
        std::string device;
        std::string description;
        PortState state;
    } expected[] = {
        {1, "\\\\.\\COM1", "\\Device\\Serial0", PortState::Available},
        {3, "\\\\.\\COM3", "\\Device\\Serial1", PortState::Busy},
        {12, "\\\\.\\COM12", "\\Device\\VCP0", PortState::Available},
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].portNumber, expected[i].number);
        EXPECT_EQ(entries[i].device.string(), expected[i].device);
        EXPECT_EQ(entries[i].description, expected[i].description);
        EXPECT_EQ(entries[i].state, expected[i].state);
        EXPECT_FALSE(entries[i].bound);
    }
    EXPECT_EQ(probed, (std::vector<std::string>{"\\\\.\\COM1", "\\\\.\\COM3", "\\\\.\\COM12"}));
    EXPECT_TRUE(ComPortEntries({}, probe).empty());
}

}  // namespace
}  // namespace tavolex
