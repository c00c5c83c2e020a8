// The window's channel count, version label, offset group and calibration group on the fake
// line, driven as a user drives them.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "ChannelLists.h"
#include "Commands.h"
#include "ContinuousAcquisitionControls.h"
#include "MainDialogFixture.h"

namespace tavolex {
namespace {

class CalibrationGuiTest : public testing::MainDialogFixture {
protected:
    CalibrationGuiTest() {
        // Offset byte i of a read-all reply is i + 1 tenths; the version is 3.2; every other
        // command echoes its first payload byte.
        line.responder = [](ByteView request) {
            Bytes data{request.size() > 9 ? request[7] : std::uint8_t{32}};
            if (request[4] == command::kReadOffsets) {
                data.clear();
                for (int i = 1; i <= 68; ++i)
                    data.push_back(static_cast<std::uint8_t>(i));
            }
            return std::vector<testing::Chunk>{{{}, ReplyFrame(0, request[4], data)}};
        };
    }
    QComboBox* combo(int id) { return control<QComboBox>(id); }
    // Chooses an item of the probe-type list with the keys, as the operator may.
    void chooseProbeType(int index) {
        combo(1056)->setFocus();
        while (combo(1056)->currentIndex() != index) {
            QTest::keyClick(combo(1056),
                            combo(1056)->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
        }
    }
    Bytes payloadSent() const {
        return Bytes(line.written.back().begin() + 7, line.written.back().end() - 2);
    }
    QString offsetCell(int list, int row) {
        return control<QTableWidget>(list)->item(row, kOffsetColumn)->text();
    }
    void clickVersion() { QTest::mouseClick(control<QLabel>(1053), Qt::LeftButton); }
};

TEST_F(CalibrationGuiTest, ProbeTypeRefillsTheChannelListAndTheItemsIndexIsSent) {
    EXPECT_EQ(combo(1054)->count(), 0);
    // Each case chooses the other probe type, which refills the list.
    const std::tuple<int, int, const char*, Bytes> cases[] = {{1, 0, "0.7", {2, 0, 7}},
                                                              {0, 3, "-1.25", {1, 3, 0xF4}},
                                                              {1, -1, "10", {2, 0xFF, 100}},
                                                              {0, 0, "-0.1", {1, 0, 0xFF}},
                                                              {1, 63, "2.3", {2, 63, 23}}};
    for (const auto& [probeType, item, value, payload] : cases) {
        chooseProbeType(probeType);
        ASSERT_EQ(combo(1054)->count(), probeType == 0 ? 4 : 64);
        EXPECT_EQ(combo(1054)->itemText(0), probeType == 0 ? "0" : "1");
        EXPECT_EQ(combo(1054)->itemText(combo(1054)->count() - 1), probeType == 0 ? "3" : "64");
        EXPECT_EQ(combo(1054)->currentIndex(), -1);
        combo(1054)->setCurrentIndex(item);
        type(1048, value);
        click(1050);
        EXPECT_EQ(payloadSent(), payload) << value;
    }
    EXPECT_EQ(person.messages, std::vector<std::string>(5, "设置成功!"));

    // Text typed over the chosen "数字温度传感器" is a probe type only as an item's exact text.
    const auto typeOver = [this](const QString& text) {
        QLineEdit* field = combo(1056)->lineEdit();
        field->setFocus();
        field->selectAll();
        field->insert(text);  // the test's key helper types ASCII only
        click(1050);
    };
    const std::size_t sent = line.written.size();
    typeOver("xyz");
    EXPECT_EQ(line.written.size(), sent);
    EXPECT_EQ(person.messages.back(), "请先选择探头类别!");
    typeOver("铂电阻探头");
    EXPECT_EQ(payloadSent()[0], 1);
}

TEST_F(CalibrationGuiTest, OffsetsLandInTheirRowsAndTheVersionInItsLabel) {
    click(1049);
    EXPECT_EQ(offsetCell(MainDialog::kLowChannelList, 31), "3.2");
    EXPECT_EQ(offsetCell(MainDialog::kHighChannelList, 0), "3.3");
    EXPECT_EQ(offsetCell(MainDialog::kHighChannelList, 31), "6.4");
    EXPECT_EQ(offsetCell(MainDialog::kPt100List, 0), "6.5");
    EXPECT_EQ(offsetCell(MainDialog::kPt100List, 3), "6.8");

    QLabel* version = control<QLabel>(1053);
    clickVersion();
    line.refuseOpen = true;
    clickVersion();
    EXPECT_EQ(version->text(), "Ver3.2");
    EXPECT_EQ(version->accessibleName(), "Ver3.2");
    EXPECT_EQ(person.messages, std::vector<std::string>{"读数据失败!!!"});
}

TEST_F(CalibrationGuiTest, FieldsAreSentAsTheyReadAndARefusedFieldStopsEveryOperation) {
    type(1003, "300");
    click(1004);
    EXPECT_EQ(payloadSent(), Bytes{0x2C});
    QTest::keyClicks(combo(1055)->lineEdit(), " 23.5");
    click(1051);
    EXPECT_EQ(payloadSent(), Bytes{1});
    const std::size_t sent = line.written.size();
    type(1002, "x");
    for (int id : {1004, 1049, 1050, 1051})
        click(id);
    clickVersion();
    EXPECT_EQ(line.written.size(), sent);
    EXPECT_EQ(person.messages,
              (std::vector<std::string>{"设置的信号数为44失败!", "校机成功!!!", "请输入一个整数。",
                                        "请输入一个整数。", "请输入一个整数。", "请输入一个整数。",
                                        "请输入一个整数。"}));
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
    QTest::mouseClick(acquiring.control<QPushButton>(1010), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return told; }));
    for (int id : {1049, 1050}) {
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
