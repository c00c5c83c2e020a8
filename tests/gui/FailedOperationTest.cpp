// What the window adds to an operation that stops, over every button that acts on the line. A
// refused field: one message, the focus in the field, nothing sent and no port opened. A failure
// on the line: the message shown with the port already closed, the controls back as they were,
// the busy cursor gone; an open failure's second line says why. The outcome of each operation
// under each fault is the operations' own test's.
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
using Messages = std::vector<std::string>;
using D = MainDialog;
using P = Pt100Dialog;

struct Button {
    int id;
    bool inPt100 = false;
};
// Every button that sends on the window's own port.
constexpr Button kButtons[] = {{D::kAcquireButton},         {D::kRegisterButton},
                               {D::kReadSnButton},          {D::kFileRegisterButton},
                               {D::kSetSignalCountButton},  {D::kReadOffsetsButton},
                               {D::kSetOffsetButton},       {D::kCalibrateButton},
                               {D::kVersionLabel},          {D::kReadClockButton},
                               {D::kSetClockButton},        {D::kReadIntervalButton},
                               {D::kSetIntervalButton},     {P::kReadParametersButton, true},
                               {P::kZeroPointButton, true}, {P::kResistor1Button, true},
                               {P::kResistor2Button, true}, {P::kTemperaturesButton, true}};

class FailedOperationTest : public testing::MainDialogFixture {
protected:
    FailedOperationTest() {
        const fs::path file = directory.path() / "probes.txt";
        std::ofstream(file) << "02:05:28-FF-64-1E-0F-00-00-9A\n";
        person.chosenFile = file;
    }
    void press(Button button) {
        if (button.inPt100) {
            pt100Driver.click(button.id);
        } else {
            click(button.id);
        }
    }
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
    const auto before = enabledStates();
    for (const bool portMissing : {false, true}) {
        line.refuseOpen = portMissing;
        for (const Button button : kButtons) {
            SCOPED_TRACE(std::to_string(button.id) + (portMissing ? " port missing" : " silent"));
            person.messages.clear();
            line.written.clear();
            heldAtMessage = false;
            press(button);
            ASSERT_EQ(person.messages.size(), 1u);
            EXPECT_EQ(line.written.empty(), portMissing);
            EXPECT_FALSE(heldAtMessage || line.held());
            EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
            EXPECT_EQ(enabledStates(), before);
        }
    }
}

TEST_F(FailedOperationTest, ARefusedFieldStopsEveryButtonWithOneMessageAndNothingSent) {
    constexpr const char* kWholeNumber = "请输入一个整数。";
    struct Row {
        int field;
        const char* bad;
        Button button;
        const char* message = kWholeNumber;
    };
    // The address refused for every button; each other field where a button checks it.
    std::vector<Row> rows;
    for (const Button button : kButtons)
        rows.push_back({D::kAddressEdit, "1a", button});
    for (const int button : {D::kContinuousButton, D::kViewRecordsButton})
        rows.push_back({D::kAddressEdit, "1a", {button}});
    rows.push_back({D::kPortEdit, "x", {D::kAcquireButton}});
    rows.push_back({D::kRegistrationChannelEdit, "", {D::kRegisterButton}});
    rows.push_back(
        {D::kSnReadChannelEdit, "65", {D::kReadSnButton}, "请输入一个介于 0 和 64 之间的整数。"});
    rows.push_back({D::kSnEdits[0], "028", {D::kRegisterButton}, "SN号输入格式错误!"});
    for (const char* interval : {"0", "61", "-5", "abc", "271"})
        rows.push_back({D::kIntervalEdit,
                        interval,
                        {D::kSetIntervalButton},
                        "输入的数值必须为1-60之间的整数"});

    line.responder = [](ByteView request) {
        return std::vector<testing::Chunk>{{{}, ReplyFrame(0, request[4], Bytes(9, 0x28))}};
    };
    showActive();
    click(D::kManualRadio);
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.button.id) + " with " + std::to_string(row.field) + " \"" +
                     row.bad + "\"");
        const QString good = edit(row.field)->text();
        type(row.field, row.bad);
        person.messages.clear();
        edit(row.field == D::kPortEdit ? D::kAddressEdit : D::kPortEdit)->setFocus();
        press(row.button);
        EXPECT_EQ(person.messages, Messages{row.message});
        EXPECT_TRUE(line.written.empty());
        if (row.message == std::string_view(kWholeNumber)) {
            EXPECT_EQ(line.opens, 0);
            EXPECT_EQ(QApplication::focusWidget(), edit(row.field));
        }
        type(row.field, good);
    }
    EXPECT_TRUE(person.fileChoices.empty());
    EXPECT_FALSE(window.acquiring());
}

// The window takes a whole number with blanks and a sign around it, and nothing else; a field
// refused keeps the values the fields before it gave.
TEST_F(FailedOperationTest, RefreshTakesWholeNumbersOnlyAndStopsAtTheFirstBadField) {
    type(D::kAddressEdit, "7");
    type(D::kPortEdit, "x1");
    type(D::kPeriodEdit, "250");
    EXPECT_FALSE(window.refresh());
    EXPECT_EQ(window.values().deviceAddress, 7);
    EXPECT_EQ(window.values().portNumber, 1);
    EXPECT_EQ(window.values().acquisitionPeriodMs, 1000);
    type(D::kPortEdit, " +12 ");
    EXPECT_TRUE(window.refresh());
    EXPECT_EQ(window.values().portNumber, 12);
    EXPECT_EQ(window.values().acquisitionPeriodMs, 250);
    for (const char* refused : {"", "-", "1 2", "99999999999", "0x10", "+-3"}) {
        type(D::kPortEdit, refused);
        EXPECT_FALSE(window.refresh()) << refused;
    }
}

// The window with the real opener on a device tree of the test's own.
TEST(OpenFailureReasonTest, SecondLineSaysWhyTheWindowsPortWouldNotOpen) {
    testing::TemporaryWorkingDirectory directory;
    testing::FakeDeviceTree fake;
    PosixPortOpener opener{fake.tree};
    testing::RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};
    const fs::path refused = fake.device("ttyUSB0");
    fake.refuse(refused);
    fake.link(5, refused);
    const fs::path held = fake.device("ttyACM0");
    fake.link(6, held);
    std::optional<testing::HeldDevice> holder(std::in_place, held);
    for (const auto& [port, button] :
         {std::pair{4, D::kAcquireButton}, {5, D::kAcquireButton}, {6, D::kReadSnButton}}) {
        window.values().portNumber = port;
        window.updateControls();
        QTest::mouseClick(window.control<QWidget>(button), Qt::LeftButton);
    }
    holder.reset();
    ASSERT_EQ(person.messages.size(), 3u);
    const std::string why[] = {
        "串口4对应 " + (fake.tree.dev / "ttyS3").string() + ",这台电脑上没有这个串口",
        "没有读写 " + refused.string() + " 的权限:请把当前用户加入 dialout 组",
        held.string() + " 正被其他程序占用"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(person.messages[i].starts_with("打开串口错误!\n" + why[i]))
            << person.messages[i];
    }
}

}  // namespace
}  // namespace tavolex
