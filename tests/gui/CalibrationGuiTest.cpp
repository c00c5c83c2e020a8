// The window's offset and calibration groups and its version label on the fake line: which
// list item and probe type go out, where read offsets land, and the lock while a run is on.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "ChannelLists.h"
#include "Commands.h"
#include "ContinuousAcquisitionControls.h"
#include "WindowDriver.h"

namespace tavolex {
namespace {

using D = MainDialog;

class CalibrationGuiTest : public testing::MainDialogFixture {
protected:
    CalibrationGuiTest() {
        // Offset byte i of a read-all reply is i + 1 tenths but the last, -1.2; the version is 3.2;
        // every other command echoes its first payload byte.
        line.responder = [](ByteView request) {
            Bytes data{request.size() > 9 ? request[7] : std::uint8_t{32}};
            if (request[4] == command::kReadOffsets) {
                data.clear();
                for (int i = 1; i <= 68; ++i)
                    data.push_back(static_cast<std::uint8_t>(i < 68 ? i : 0xF4));
            }
            return std::vector<testing::Chunk>{{{}, ReplyFrame(0, request[4], data)}};
        };
    }
    QComboBox* combo(int id) { return control<QComboBox>(id); }
    QString offsetCell(int list, int row) {
        return control<QTableWidget>(list)->item(row, kOffsetColumn)->text();
    }
};

TEST_F(CalibrationGuiTest, ProbeTypeRefillsTheChannelListAndTheItemsIndexIsSent) {
    // Each case chooses the other probe type by key, which refills the list with nothing chosen.
    const std::tuple<int, int, const char*, Bytes> cases[] = {
        {1, 0, "0.7", {2, 0, 7}}, {0, 3, "-1.25", {1, 3, 0xF4}}, {1, -1, "10", {2, 0xFF, 100}}};
    QComboBox* types = combo(D::kProbeTypeCombo);
    for (const auto& [probeType, item, value, payload] : cases) {
        types->setFocus();
        while (types->currentIndex() != probeType)
            QTest::keyClick(types, types->currentIndex() < probeType ? Qt::Key_Down : Qt::Key_Up);
        EXPECT_EQ(combo(D::kOffsetChannelList)->count(), probeType == 0 ? 4 : 64);
        EXPECT_EQ(combo(D::kOffsetChannelList)->currentIndex(), -1);
        combo(D::kOffsetChannelList)->setCurrentIndex(item);
        type(D::kOffsetEdit, value);
        click(D::kSetOffsetButton);
        EXPECT_EQ(payloadSent(), payload) << value;
    }
    EXPECT_EQ(person.messages, std::vector<std::string>(3, "设置成功!"));

    // Text typed over the chosen type is a probe type only as an item's exact text.
    const auto typeOver = [&](const QString& text) {
        types->lineEdit()->selectAll();
        types->lineEdit()->insert(text);  // the key helper types ASCII only
        click(D::kSetOffsetButton);
    };
    const std::size_t sent = line.written.size();
    typeOver("xyz");
    EXPECT_EQ(line.written.size(), sent);
    EXPECT_EQ(person.messages.back(), "请先选择探头类别!");
    typeOver("铂电阻探头");
    EXPECT_EQ(payloadSent()[0], 1);
}

TEST_F(CalibrationGuiTest, OffsetsLandInTheirRowsAndTheVersionInItsLabel) {
    click(D::kReadOffsetsButton);
    // Digital channels first, then the PT100 channels.
    EXPECT_EQ(QStringList({offsetCell(D::kLowChannelList, 31), offsetCell(D::kHighChannelList, 0),
                           offsetCell(D::kPt100List, 0), offsetCell(D::kPt100List, 3)}),
              QStringList({"3.2", "3.3", "6.5", "-1.2"}));

    click(D::kVersionLabel);
    line.refuseOpen = true;  // a failure keeps what the label showed
    click(D::kVersionLabel);
    EXPECT_EQ(control<QLabel>(D::kVersionLabel)->text(), "Ver3.2");
    EXPECT_EQ(control<QLabel>(D::kVersionLabel)->accessibleName(), "Ver3.2");
}

// The worker's opens fail without touching the fake line, which belongs to the test's thread.
class WindowOnlyPorts final : public PortOpener {
public:
    explicit WindowOnlyPorts(PortOpener& ports) : m_ports(ports) {}
    PortHandle open(const LinkSettings& settings, PortProfile profile) override {
        return profile == PortProfile::Acquisition ? nullptr : m_ports.open(settings, profile);
    }

private:
    PortOpener& m_ports;
};

// A run whose worker could not open the port stays switched on without holding the port: the
// offset buttons stay locked, and their operations refuse all the same.
TEST_F(CalibrationGuiTest, OffsetsAreRefusedWhileAcquisitionIsOn) {
    WindowOnlyPorts windowPorts(ports);
    MainDialog acquiring(windowPorts, clock, person);
    bool told = false;
    acquiring.continuousAcquisition().ownerlessMessage = [&](std::string_view) { told = true; };
    QTest::mouseClick(acquiring.control<QPushButton>(D::kContinuousButton), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return told; }));
    for (int id : {D::kReadOffsetsButton, D::kSetOffsetButton}) {
        EXPECT_FALSE(acquiring.control<QPushButton>(id)->isEnabled());
        emit acquiring.control<QPushButton>(id)->clicked();  // as a click queued before the lock
    }
    EXPECT_EQ(person.messages, std::vector<std::string>(2, "请先取消当前采集!"));
    EXPECT_TRUE(line.written.empty());
    EXPECT_FALSE(line.held());
    acquiring.done(QDialog::Rejected);
}

}  // namespace
}  // namespace tavolex
