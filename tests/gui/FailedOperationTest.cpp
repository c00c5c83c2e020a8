// What the window adds to an operation that fails on the line: the message is shown with the
// port already closed, the controls come back as they were and the busy cursor goes; and the
// second line of an open failure says why the port would not open. The outcome of each
// operation under each fault is the operations' own test's.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGuiApplication>
#include <fstream>
#include <optional>

#include "FakeDeviceTree.h"
#include "PosixSerialPort.h"
#include "Pt100Dialog.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

namespace fs = std::filesystem;
using D = MainDialog;
using P = Pt100Dialog;

class FailedOperationTest : public testing::MainDialogFixture {
protected:
    // Which numbered controls of the window are enabled.
    std::vector<std::pair<QString, bool>> enabledStates() {
        std::vector<std::pair<QString, bool>> states;
        for (const QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            states.emplace_back(child->objectName(), child->isEnabled());
        return states;
    }

    Pt100Dialog pt100{window};
    testing::DriverOf<Pt100Dialog> pt100Driver{pt100};
};

TEST_F(FailedOperationTest, EveryButtonTellsAFailureWithThePortClosedAndItsControlsBack) {
    const fs::path file = directory.path() / "probes.txt";
    std::ofstream(file) << "02:05:28-FF-64-1E-0F-00-00-9A\n";
    person.chosenFile = file;
    // Everything an operation needs before it sends.
    QComboBox* types = control<QComboBox>(D::kProbeTypeCombo);
    types->setFocus();
    QTest::keyClick(types, Qt::Key_Down);
    QTest::keyClick(types, Qt::Key_Down);
    control<QComboBox>(D::kOffsetChannelList)->setCurrentIndex(0);
    type(D::kOffsetEdit, "0.5");
    control<QComboBox>(D::kResistorCombo)->lineEdit()->setText("23.5");
    type(D::kIntervalEdit, "5");
    bool heldAtMessage = false;
    person.onMessage = [&](std::string_view) { heldAtMessage = heldAtMessage || line.held(); };

    const std::pair<int, bool> buttons[] = {
        {D::kAcquireButton, false},        {D::kRegisterButton, false},
        {D::kReadSnButton, false},         {D::kFileRegisterButton, false},
        {D::kSetSignalCountButton, false}, {D::kReadOffsetsButton, false},
        {D::kSetOffsetButton, false},      {D::kCalibrateButton, false},
        {D::kVersionLabel, false},         {D::kReadClockButton, false},
        {D::kSetClockButton, false},       {D::kReadIntervalButton, false},
        {D::kSetIntervalButton, false},    {P::kReadParametersButton, true},
        {P::kZeroPointButton, true},       {P::kResistor1Button, true},
        {P::kResistor2Button, true},       {P::kTemperaturesButton, true}};
    const auto before = enabledStates();
    for (const bool portMissing : {false, true}) {
        line.refuseOpen = portMissing;
        for (const auto& [button, inPt100] : buttons) {
            SCOPED_TRACE(std::to_string(button) + (portMissing ? " port missing" : " silent"));
            person.messages.clear();
            line.written.clear();
            heldAtMessage = false;
            if (inPt100) {
                pt100Driver.click(button);
            } else {
                click(button);
            }
            ASSERT_EQ(person.messages.size(), 1u);
            EXPECT_EQ(line.written.empty(), portMissing);
            EXPECT_FALSE(heldAtMessage);
            EXPECT_FALSE(line.held());
            EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
            EXPECT_EQ(enabledStates(), before);
        }
    }
}

// The window with the real opener on a device tree of the test's own.
class OpenFailureReasonTest : public ::testing::Test {
protected:
    void press(int port, int button) {
        window.values().portNumber = port;
        window.updateControls();
        QTest::mouseClick(window.control<QWidget>(button), Qt::LeftButton);
    }

    testing::TemporaryWorkingDirectory directory;
    testing::FakeDeviceTree fake;
    PosixPortOpener opener{fake.tree};
    testing::RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};
};

TEST_F(OpenFailureReasonTest, SecondLineSaysWhyTheWindowsPortWouldNotOpen) {
    const fs::path refused = fake.device("ttyUSB0");
    fake.refuse(refused);
    fake.link(5, refused);
    const fs::path held = fake.device("ttyACM0");
    fake.link(6, held);
    std::optional<testing::HeldDevice> holder(std::in_place, held);

    press(4, D::kAcquireButton);
    press(5, D::kAcquireButton);
    press(6, D::kReadSnButton);
    holder.reset();
    ASSERT_EQ(person.messages.size(), 3u);
    const std::string missing = "打开串口错误!\n串口4对应 " + (fake.tree.dev / "ttyS3").string() +
                                ",这台电脑上没有这个串口";
    EXPECT_TRUE(person.messages[0].starts_with(missing)) << person.messages[0];
    EXPECT_TRUE(person.messages[1].starts_with("打开串口错误!\n没有读写 " + refused.string() +
                                               " 的权限:请把当前用户加入 dialout 组"))
        << person.messages[1];
    EXPECT_TRUE(
        person.messages[2].starts_with("打开串口错误!\n" + held.string() + " 正被其他程序占用"))
        << person.messages[2];
}

}  // namespace
}  // namespace tavolex
