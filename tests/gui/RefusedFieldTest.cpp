// A field the window refuses stops whatever button was pressed: one message, the focus in the
// field, nothing sent and no port opened. One table over every button that acts on the line.
#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>

#include "Pt100Dialog.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

using Messages = std::vector<std::string>;
using D = MainDialog;
using P = Pt100Dialog;

constexpr const char* kWholeNumber = "请输入一个整数。";

struct RefusedRow {
    int field;
    const char* bad;
    int button;
    bool inPt100;
    const char* message;
};

// The address refused for every button; each other field where a button checks it.
std::vector<RefusedRow> Rows() {
    std::vector<RefusedRow> rows;
    for (int button : {D::kAcquireButton, D::kRegisterButton, D::kReadSnButton,
                       D::kFileRegisterButton, D::kContinuousButton, D::kSetSignalCountButton,
                       D::kReadOffsetsButton, D::kSetOffsetButton, D::kCalibrateButton,
                       D::kVersionLabel, D::kReadClockButton, D::kSetClockButton,
                       D::kReadIntervalButton, D::kSetIntervalButton, D::kViewRecordsButton}) {
        rows.push_back({D::kAddressEdit, "1a", button, false, kWholeNumber});
    }
    for (int button : {P::kReadParametersButton, P::kZeroPointButton, P::kResistor1Button,
                       P::kResistor2Button, P::kTemperaturesButton}) {
        rows.push_back({D::kAddressEdit, "1a", button, true, kWholeNumber});
    }
    rows.push_back({D::kPortEdit, "x", D::kAcquireButton, false, kWholeNumber});
    rows.push_back({D::kRegistrationChannelEdit, "", D::kRegisterButton, false, kWholeNumber});
    rows.push_back({D::kSnReadChannelEdit, "65", D::kReadSnButton, false,
                    "请输入一个介于 0 和 64 之间的整数。"});
    rows.push_back({D::kSnEdits[0], "028", D::kRegisterButton, false, "SN号输入格式错误!"});
    for (const char* interval : {"0", "61", "-5", "abc", "271"}) {
        rows.push_back({D::kIntervalEdit, interval, D::kSetIntervalButton, false,
                        "输入的数值必须为1-60之间的整数"});
    }
    return rows;
}

class RefusedFieldTest : public testing::MainDialogFixture {
protected:
    Pt100Dialog pt100{window};
    testing::DriverOf<Pt100Dialog> pt100Driver{pt100};
};

TEST_F(RefusedFieldTest, ARefusedFieldStopsEveryButtonWithOneMessageAndNothingSent) {
    const std::filesystem::path file = directory.path() / "probes.txt";
    std::ofstream(file) << "02:05:28-FF-64-1E-0F-00-00-9A\n";
    person.chosenFile = file;
    line.responder = [](ByteView request) {
        return std::vector<testing::Chunk>{{{}, ReplyFrame(0, request[4], Bytes(9, 0x28))}};
    };
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    click(D::kManualRadio);
    for (const RefusedRow& row : Rows()) {
        SCOPED_TRACE(std::to_string(row.button) + " with " + std::to_string(row.field) + " \"" +
                     row.bad + "\"");
        const QString good = edit(row.field)->text();
        type(row.field, row.bad);
        person.messages.clear();
        edit(row.field == D::kPortEdit ? D::kAddressEdit : D::kPortEdit)->setFocus();
        if (row.inPt100) {
            pt100Driver.click(row.button);
        } else {
            click(row.button);
        }
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
TEST_F(RefusedFieldTest, RefreshTakesWholeNumbersOnlyAndStopsAtTheFirstBadField) {
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

}  // namespace
}  // namespace tavolex
