// The Windows port: what it writes into the Windows structures, and opening ports that are not
// there. The port on a real line is exercised end to end against the simulated instrument.
#include <gtest/gtest.h>

#include <chrono>

#include "PortOpenFailure.h"
#include "SystemPorts.h"
#include "Win32SerialPort.h"

namespace tavolex {
namespace {

using namespace std::chrono_literals;

TEST(Win32SerialPort, TheLineFieldsChangeOnlyTheirOwnPartOfTheControlBlock) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = 115200;
    dcb.ByteSize = 7;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = TWOSTOPBITS;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dcb.fAbortOnError = 1;
    // What the port reported stays: flow control, RTS and the XON/XOFF characters.
    dcb.fOutxCtsFlow = 1;
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.fOutX = 1;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.XonLim = 2048;
    dcb.fBinary = 1;

    ApplyLineFields(dcb, LineFields{9600, 8, NOPARITY, ONESTOPBIT, DTR_CONTROL_DISABLE, false});

    EXPECT_EQ(dcb.BaudRate, 9600U);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_DISABLE));
    EXPECT_EQ(dcb.fAbortOnError, 0U);
    EXPECT_EQ(dcb.fOutxCtsFlow, 1U);
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_HANDSHAKE));
    EXPECT_EQ(dcb.fOutX, 1U);
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
    EXPECT_EQ(dcb.XonLim, 2048);
    EXPECT_EQ(dcb.fBinary, 1U);
    EXPECT_EQ(dcb.DCBlength, sizeof dcb);
}

TEST(Win32SerialPort, EachProfileGivesItsFiveTimeoutsInOrder) {
    const struct {
        PortProfile profile;
        DWORD interval, readMultiplier, readConstant, writeMultiplier, writeConstant;
    } cases[] = {
        {PortProfile::Command, 0, 5, 1000, 100, 500},
        {PortProfile::Acquisition, 0, 5, 300, 100, 500},
        {PortProfile::Records, 100, 5, 5, 50, 100},
    };
    for (const auto& c : cases) {
        const COMMTIMEOUTS t = CommTimeoutsOf(TimeoutsOf(c.profile));
        EXPECT_EQ(t.ReadIntervalTimeout, c.interval);
        EXPECT_EQ(t.ReadTotalTimeoutMultiplier, c.readMultiplier);
        EXPECT_EQ(t.ReadTotalTimeoutConstant, c.readConstant);
        EXPECT_EQ(t.WriteTotalTimeoutMultiplier, c.writeMultiplier);
        EXPECT_EQ(t.WriteTotalTimeoutConstant, c.writeConstant);
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
