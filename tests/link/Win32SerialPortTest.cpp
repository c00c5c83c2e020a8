// The Windows port: what it writes into the Windows structures, and opening ports that are not
// there. The port on a real line is exercised end to end against the simulated instrument.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <tuple>

#include "PortOpenFailure.h"
#include "SystemPorts.h"
#include "Win32SerialPort.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;

TEST(Win32SerialPort, TheLineFieldsChangeOnlyTheirOwnPartOfTheControlBlock) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = 115200, dcb.ByteSize = 7, dcb.Parity = EVENPARITY, dcb.StopBits = TWOSTOPBITS;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE, dcb.fAbortOnError = 1;
    // What the port reported stays: flow control, RTS and the XON/XOFF characters.
    dcb.fOutxCtsFlow = 1, dcb.fRtsControl = RTS_CONTROL_HANDSHAKE, dcb.fOutX = 1, dcb.fBinary = 1;
    dcb.XonChar = 0x11, dcb.XoffChar = 0x13, dcb.XonLim = 2048;
    DCB expected = dcb;
    expected.BaudRate = 9600, expected.ByteSize = 8, expected.Parity = NOPARITY;
    expected.StopBits = ONESTOPBIT, expected.fDtrControl = DTR_CONTROL_DISABLE;
    expected.fAbortOnError = 0;

    ApplyLineFields(dcb, LineFields{9600, 8, NOPARITY, ONESTOPBIT, DTR_CONTROL_DISABLE, false});
    EXPECT_EQ(std::memcmp(&dcb, &expected, sizeof dcb), 0);
}

// Each of a profile's five time-outs lands in its own field.
TEST(Win32SerialPort, EachProfileGivesItsFiveTimeoutsInOrder) {
    for (const PortProfile profile :
         {PortProfile::Command, PortProfile::Acquisition, PortProfile::Records}) {
        const PortTimeouts p = TimeoutsOf(profile);
        const COMMTIMEOUTS t = CommTimeoutsOf(p);
        EXPECT_EQ(std::tuple(t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier,
                             t.ReadTotalTimeoutConstant, t.WriteTotalTimeoutMultiplier,
                             t.WriteTotalTimeoutConstant),
                  std::tuple(p.readIntervalMs, p.readTotalMultiplierMs, p.readTotalConstantMs,
                             p.writeTotalMultiplierMs, p.writeTotalConstantMs));
    }
}

TEST(Win32SerialPort, WaitsRoundUpToWholeMillisecondsAndStayBelowAMinute) {
    EXPECT_EQ(WaitMilliseconds(0ns), 0U);
    EXPECT_EQ(WaitMilliseconds(1ns), 1U);
    EXPECT_EQ(WaitMilliseconds(2ms), 2U);
    EXPECT_EQ(WaitMilliseconds(2001us), 3U);
    EXPECT_EQ(WaitMilliseconds(-5ms), 0U);
    EXPECT_EQ(WaitMilliseconds(std::chrono::hours(3)), 60'000U);
}

TEST(Win32SerialPort, PortsThatAreNotThereDoNotOpenAndSayWhy) {
    const auto opener = MakeSystemPortOpener();
    for (const int number : {0, -1}) {
        const LinkSettings settings{number, 9600, 0};
        EXPECT_EQ(opener->open(settings, PortProfile::Command), nullptr);
        EXPECT_EQ(opener->failureReason(settings),
                  "串口号从1开始," + std::to_string(number) + "不对应任何串口。");
    }
    const LinkSettings absent{219, 9600, 0};
    EXPECT_EQ(opener->open(absent, PortProfile::Command), nullptr);
    EXPECT_TRUE(opener->failureReason(absent).starts_with("这台电脑上没有串口COM219"))
        << opener->failureReason(absent);
    EXPECT_EQ(OpenSerialDevice("\\\\.\\COM219", 9600, PortProfile::Records), nullptr);
    EXPECT_TRUE(DeviceOpenFailureReason("\\\\.\\COM219", 9600)
                    .ends_with("不存在:请插上仪器的串口适配器,或检查设备的路径。"));
}

}  // namespace
}  // namespace tavolex
