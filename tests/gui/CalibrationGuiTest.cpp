// The window's channel count, version label, offset group and calibration group on the fake
// line, driven as a user drives them.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "ChannelLists.h"
#include "Commands.h"
#include "ContinuousAcquisition.h"
#include "MainDialogFixture.h"

namespace tavolex {
namespace {

using testing::Chunk;

class CalibrationGuiTest : public testing::MainDialogFixture {
protected:
    CalibrationGuiTest() {
        // Every request gets a well-formed reply of the length its command has.
        line.responder = [](ByteView request) {
            const std::uint8_t code = request[4];
            Bytes data;
            if (code == command::kReadOffsets) {
                for (int i = 0; i < 68; ++i)
                    data.push_back(static_cast<std::uint8_t>(i + 1));
            } else if (code == command::kReadPt100ParametersOrVersion) {
                data = {32};
            } else {
                data = {request.size() > 9 ? request[7] : std::uint8_t{0}};
            }
            return std::vector<Chunk>{{{}, ReplyFrame(0, code, data)}};
        };
    }

    QComboBox* combo(int id) { return control<QComboBox>(id); }
    // Chooses an item of the probe-type list with the keys, as the operator may.
    void chooseProbeType(int index) {
        QComboBox* types = combo(1056);
        types->setFocus();
        while (types->currentIndex() != index)
            QTest::keyClick(types, types->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
    }
    QStringList channelItems() {
        QStringList items;
        for (int i = 0; i < combo(1054)->count(); ++i)
            items << combo(1054)->itemText(i);
        return items;
    }
    Bytes payloadSent() const {
        const Bytes& frame = line.written.back();
        return Bytes(frame.begin() + 7, frame.end() - 2);
    }
    QString offsetCell(int list, int row) {
        return control<QTableWidget>(list)->item(row, kOffsetColumn)->text();
    }
    void clickVersion() { QTest::mouseClick(control<QLabel>(1053), Qt::LeftButton); }
};

TEST_F(CalibrationGuiTest, ProbeTypeRefillsTheChannelListWithNothingSelected) {
    EXPECT_EQ(combo(1054)->count(), 0);
    chooseProbeType(1);
    ASSERT_EQ(combo(1054)->count(), 64);
    EXPECT_EQ(channelItems().front(), "1");
    EXPECT_EQ(channelItems().back(), "64");
    EXPECT_EQ(combo(1054)->currentIndex(), -1);

    combo(1054)->setCurrentIndex(5);
    chooseProbeType(0);
    EXPECT_EQ(channelItems(), (QStringList{"0", "1", "2", "3"}));
    EXPECT_EQ(combo(1054)->currentIndex(), -1);
}

TEST_F(CalibrationGuiTest, SetOffsetSendsTheChosenItemsIndex) {
    struct Case {
        int type;
        int item;
        const char* value;
        Bytes payload;
    };
    const Case cases[] = {{1, 0, "0.7", {2, 0, 7}},
                          {0, 3, "-1.25", {1, 3, 0xF4}},
                          {1, 63, "2.3", {2, 63, 23}},
                          {1, -1, "10", {2, 0xFF, 100}}};
    for (const Case& c : cases) {
        chooseProbeType(c.type);
        combo(1054)->setCurrentIndex(c.item);
        type(1048, c.value);
        click(1050);
        EXPECT_EQ(line.written.back()[4], command::kSetOffset);
        EXPECT_EQ(payloadSent(), c.payload) << c.value;
    }
    EXPECT_EQ(person.messages, std::vector<std::string>(4, "设置成功!"));
}

TEST_F(CalibrationGuiTest, OffsetsLandInTheirRowsOfEachList) {
    click(1049);
    EXPECT_TRUE(person.messages.empty());
    // Offset byte i of the reply is i + 1 tenths.
    EXPECT_EQ(offsetCell(MainDialog::kLowChannelList, 0), "0.1");
    EXPECT_EQ(offsetCell(MainDialog::kLowChannelList, 31), "3.2");
    EXPECT_EQ(offsetCell(MainDialog::kHighChannelList, 0), "3.3");
    EXPECT_EQ(offsetCell(MainDialog::kHighChannelList, 31), "6.4");
    EXPECT_EQ(offsetCell(MainDialog::kPt100List, 0), "6.5");
    EXPECT_EQ(offsetCell(MainDialog::kPt100List, 3), "6.8");
    EXPECT_EQ(
        control<QTableWidget>(MainDialog::kLowChannelList)->item(0, kTemperatureColumn)->text(),
        "");
}

TEST_F(CalibrationGuiTest, VersionLabelAndItsAccessibleNameFollowTheLastGoodRead) {
    QLabel* version = control<QLabel>(1053);
    clickVersion();
    EXPECT_EQ(version->text(), "Ver3.2");
    EXPECT_EQ(version->accessibleName(), "Ver3.2");
    EXPECT_EQ(line.written.back(), RequestFrame(0, command::kReadPt100ParametersOrVersion));

    line.refuseOpen = true;
    clickVersion();
    EXPECT_EQ(person.messages, std::vector<std::string>{"读数据失败!!!"});
    EXPECT_EQ(version->text(), "Ver3.2");
    EXPECT_EQ(version->accessibleName(), "Ver3.2");
}

TEST_F(CalibrationGuiTest, CountAndResistorAreSentAsTheFieldsHoldThem) {
    type(1003, "300");
    click(1004);
    EXPECT_EQ(payloadSent(), Bytes{0x2C});
    QTest::keyClicks(combo(1055)->lineEdit(), " 143");
    click(1051);
    EXPECT_EQ(line.written.back()[4], command::kCalibrate);
    EXPECT_EQ(payloadSent(), Bytes{3});
    EXPECT_EQ(person.messages, (std::vector<std::string>{"设置的信号数为44失败!", "校机成功!!!"}));
}

TEST_F(CalibrationGuiTest, ARefusedFieldStopsEveryOperationBeforeItSends) {
    chooseProbeType(1);
    type(1048, "1");
    combo(1055)->setCurrentIndex(1);
    type(1002, "x");
    for (int id : {1004, 1049, 1050, 1051, 1053}) {
        person.messages.clear();
        id == 1053 ? clickVersion() : click(id);
        EXPECT_EQ(person.messages, std::vector<std::string>{"请输入一个整数。"}) << id;
    }
    EXPECT_TRUE(line.written.empty());
    EXPECT_EQ(control<QLabel>(1053)->text(), "点击读取版本");
}

// A run whose worker could not open the port keeps acquisition switched on without holding
// the port: the offset buttons stay locked, and their operations refuse all the same.
class OffsetsWhileAcquiringTest : public CalibrationGuiTest {
protected:
    // The worker's opens fail without touching the fake line, which belongs to this thread.
    class WindowOnlyPorts final : public PortOpener {
    public:
        explicit WindowOnlyPorts(PortOpener& ports) : m_ports(ports) {}
        PortHandle open(const LinkSettings& settings, PortProfile profile) override {
            if (profile == PortProfile::Acquisition) return nullptr;
            return m_ports.open(settings, profile);
        }

    private:
        PortOpener& m_ports;
    };

    WindowOnlyPorts windowPorts{ports};
    MainDialog acquiringWindow{windowPorts, clock, person};
};

TEST_F(OffsetsWhileAcquiringTest, BothOffsetOperationsRefuse) {
    std::vector<std::string> ownerless;
    acquiringWindow.continuousAcquisition().ownerlessMessage = [&](std::string_view text) {
        ownerless.emplace_back(text);
    };
    QTest::mouseClick(acquiringWindow.control<QPushButton>(1010), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ownerless.empty(); }));
    ASSERT_TRUE(acquiringWindow.acquiring());
    for (int id : {1049, 1050}) {
        QPushButton* button = acquiringWindow.control<QPushButton>(id);
        EXPECT_FALSE(button->isEnabled());
        // What a click queued before the lock would do.
        emit button->clicked();
    }
    EXPECT_EQ(person.messages, std::vector<std::string>(2, "请先取消当前采集!"));
    EXPECT_TRUE(line.written.empty());
    EXPECT_EQ(line.opens, line.closes);
    acquiringWindow.done(QDialog::Rejected);
}

}  // namespace
}  // namespace tavolex
