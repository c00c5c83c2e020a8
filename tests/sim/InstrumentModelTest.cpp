#include "InstrumentModel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "Commands.h"

namespace tavolex::sim {
namespace {

namespace chr = std::chrono;
using namespace std::chrono_literals;
using testing::ElementsAre;

std::vector<std::uint16_t> Raw(const std::vector<TenthDegree>& words) {
    std::vector<std::uint16_t> raw;
    for (TenthDegree word : words)
        raw.push_back(word.raw());
    return raw;
}

const Bytes kMay7th{0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01};  // 2024-05-07 09:03:01

class InstrumentModelTest : public testing::Test {
protected:
    InstrumentModel makeModel(ModelOptions options = {}) {
        return InstrumentModel(options, [this] { return m_wall; });
    }

    // The data bytes of the reply (framed by ReplyFrame, whose layout the link tests check).
    Bytes ask(std::uint8_t code, Bytes payload = {}) {
        const auto reply = model.handle(Request{1, code, std::move(payload)});
        if (!reply) {
            ADD_FAILURE() << "no reply to code " << int(code);
            return {};
        }
        return Bytes(reply->begin() + kReplyDataOffset, reply->end() - 2);
    }

    void passTime(chr::system_clock::duration duration) { m_wall += duration; }

    chr::system_clock::time_point m_wall = chr::sys_days{chr::year{2030} / 1 / 1};
    InstrumentModel model = makeModel();
};

TEST_F(InstrumentModelTest, SilentForUnknownCodesMalformedPayloadsAndOtherAddresses) {
    for (std::uint8_t code : {0x00, 0x06, 0x0C, 0x0E, 0x0F, 0x17, 0xFF}) {
        EXPECT_FALSE(model.handle(Request{1, code, {}})) << "code " << int(code);
    }
    EXPECT_FALSE(model.handle(Request{1, command::kReadTemperatures, {0}}));
    EXPECT_FALSE(model.handle(Request{1, command::kReadPt100ParametersOrVersion, {4}}));
    EXPECT_FALSE(model.handle(Request{1, command::kCalibrate, {4, 0}}));
    EXPECT_FALSE(model.handle(Request{1, command::kCalibrate, {1, 4}}));

    model.setAddress(3);
    EXPECT_FALSE(model.handle(Request{4, command::kReadClock, {}}));
    EXPECT_TRUE(model.handle(Request{3, command::kReadClock, {}}));
}

TEST_F(InstrumentModelTest, SemiAutomaticRegistrationNeedsExactlyOneProbeOnThePort) {
    const Bytes noSerial{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, refused(9, 0x00);
    EXPECT_EQ(ask(0x02, {1, 5}), noSerial);  // 32 probes on port A
    EXPECT_EQ(ask(0x02, {1, 0}), refused);
    EXPECT_EQ(ask(0x02, {1, 65}), refused);

    model.setPluggedCount(ProbePort::B, 1);
    const ProbeSerial probe = model.pluggedProbes(ProbePort::B)[0];
    Bytes expected{2};
    expected.insert(expected.end(), probe.begin(), probe.end());
    EXPECT_EQ(ask(0x02, {2, 7}), expected);
    EXPECT_EQ(ask(0x03, {7}), expected);

    model.setPluggedCount(ProbePort::B, 0);
    EXPECT_EQ(ask(0x02, {2, 7}), noSerial);
}

TEST_F(InstrumentModelTest, ManualRegistrationStatuses) {
    ProbeSerial serial{0x28, 0, 0, 0, 0, 0, 0, 0};  // 28 and seven empty fields is a valid entry
    const auto manual = [&](std::uint8_t port, std::uint8_t channel) {
        Bytes payload{port, channel};
        payload.insert(payload.end(), serial.begin(), serial.end());
        return ask(0x04, payload).at(0);
    };
    EXPECT_EQ(manual(2, 9), 0);
    EXPECT_EQ(model.binding(9), (Binding{ProbePort::B, serial}));
    EXPECT_EQ(manual(1, 0), 1);
    EXPECT_EQ(manual(1, 65), 1);
    EXPECT_EQ(manual(3, 9), 3);
    serial[0] = 0x10;
    EXPECT_EQ(manual(1, 9), 2);
    serial.fill(0xFF);
    EXPECT_EQ(manual(1, 9), 2);
    EXPECT_EQ(model.binding(9)->port, ProbePort::B);  // refusals change nothing
}

TEST_F(InstrumentModelTest, FullyAutomaticNumbersPortAFirstAtMost32PerPort) {
    model.setPluggedCount(ProbePort::A, 10);
    model.setPluggedCount(ProbePort::B, 15);
    EXPECT_EQ(ask(0x05), Bytes{25});
    for (int channel = 1; channel <= 25; ++channel) {
        const Binding expected =
            channel <= 10 ? Binding{ProbePort::A, model.probeOfPort(ProbePort::A, channel - 1)}
                          : Binding{ProbePort::B, model.probeOfPort(ProbePort::B, channel - 11)};
        EXPECT_EQ(model.binding(channel), expected) << "channel " << channel;
    }
    EXPECT_EQ(ask(0x03, {26}), (Bytes{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));

    model.setPluggedCount(ProbePort::A, 40);
    model.setPluggedCount(ProbePort::B, 40);
    EXPECT_EQ(ask(0x05), Bytes{80});
    EXPECT_EQ(model.binding(32)->serial, model.probeOfPort(ProbePort::A, 31));
    EXPECT_EQ(model.binding(33)->serial, model.probeOfPort(ProbePort::B, 0));
    EXPECT_EQ(model.binding(64)->serial, model.probeOfPort(ProbePort::B, 31));
}

TEST_F(InstrumentModelTest, ProbesCarryTheirRomCrcAndChannelsWithoutAProbeReadNothing) {
    // Known 1-Wire ROM code from the CRC's published example.
    const std::uint8_t rom[] = {0x02, 0x1C, 0xB8, 0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(RomCrc8(rom), 0xA2);
    for (const ProbeSerial& probe : model.pluggedProbes(ProbePort::B)) {
        EXPECT_EQ(probe[0], 0x28);
        EXPECT_EQ(RomCrc8(std::span(probe).first(7)), probe[7]);
    }

    EXPECT_NE(model.currentTemperatures()[4 + 4].raw(), InstrumentModel::kNoProbe.raw());
    model.unplugProbe(ProbePort::A, model.binding(5)->serial);
    EXPECT_EQ(model.currentTemperatures()[4 + 4].raw(), InstrumentModel::kNoProbe.raw());
    EXPECT_EQ(ask(0x16), Bytes{0});
    EXPECT_FALSE(model.binding(40));
    EXPECT_EQ(model.pluggedProbes(ProbePort::B).size(), 32u);  // wiping IDs unplugs nothing
    const auto words = model.currentTemperatures();
    EXPECT_TRUE(
        std::all_of(words.begin() + 4, words.end(), [](TenthDegree w) { return w.raw() == 0; }));
}

TEST_F(InstrumentModelTest, SignalCountIsClampedAndSetsTheWordsRead) {
    EXPECT_EQ(ask(0x01, {200}), Bytes{64});
    EXPECT_EQ(ask(0x01, {10}), Bytes{10});
    EXPECT_EQ(ask(0x0B).size(), 2u * (4 + 10));
    EXPECT_EQ(ask(0x01, {0}), Bytes{0});
    EXPECT_EQ(ask(0x0B).size(), 8u);
}

TEST_F(InstrumentModelTest, TemperaturesArePlausibleDriftAndRepeatForTheSameSeed) {
    std::set<std::uint16_t> seen;
    for (int minute = 0; minute < 24 * 60; minute += 7) {
        for (TenthDegree word : model.currentTemperatures()) {
            ASSERT_FALSE(word.negative());
            ASSERT_GE(word.tenths(), 150);
            ASSERT_LE(word.tenths(), 330);
            seen.insert(word.raw());
        }
        passTime(7min);
    }
    EXPECT_GT(seen.size(), 50u);
    EXPECT_EQ(Raw(makeModel().currentTemperatures()), Raw(model.currentTemperatures()));
    ModelOptions otherSeed;
    otherSeed.seed = 2;
    EXPECT_NE(Raw(makeModel(otherSeed).currentTemperatures()), Raw(model.currentTemperatures()));
}

TEST_F(InstrumentModelTest, OffsetsAreAddedToTemperaturesAndReadBack) {
    const auto before = model.currentTemperatures();
    EXPECT_EQ(ask(0x0A, {2, 2, 50}), Bytes{0});    // digital channel 3, +5.0
    EXPECT_EQ(ask(0x0A, {1, 0, 0xF4}), Bytes{0});  // PT100 channel 1, -1.2
    EXPECT_EQ(ask(0x0A, {1, 4, 1}), Bytes{1});
    EXPECT_EQ(ask(0x0A, {2, 64, 1}), Bytes{1});
    EXPECT_EQ(ask(0x0A, {3, 0, 1}), Bytes{1});

    const auto after = model.currentTemperatures();
    EXPECT_EQ(after[4 + 2].tenths(), before[4 + 2].tenths() + 50);
    EXPECT_EQ(after[0].tenths(), before[0].tenths() - 12);
    EXPECT_EQ(after[1].raw(), before[1].raw());

    const Bytes offsets = ask(0x0D);
    EXPECT_EQ(offsets[2], 50);
    EXPECT_EQ(offsets[64], 0xF4);
    EXPECT_EQ(ask(0x08, {0})[1], 0x8C);  // the PT100 reply gives sign and magnitude
}

TEST_F(InstrumentModelTest, Pt100CalibrationStepsAreStoredAndReadBack) {
    const Bytes resistor2 = ask(0x09, {3, 2});
    const Bytes zero = ask(0x09, {1, 2});
    const Bytes parameters = ask(0x08, {2});
    EXPECT_EQ(parameters[0], zero[0]);
    EXPECT_EQ(Bytes(parameters.begin() + 5, parameters.end()), resistor2);
    EXPECT_EQ(BigEndian16(parameters, 3), model.pt100Parameters(2).resistor1Ad);

    EXPECT_EQ(ask(0x09, {2}), (Bytes{0, 2}));
    EXPECT_EQ(ask(0x09, {4}), (Bytes{1, 4}));
    EXPECT_EQ(model.lastLowTemperatureCalibration(), 2);
    EXPECT_EQ(ask(0x08), Bytes{32});
}

TEST_F(InstrumentModelTest, ClockIsSetAndReadInBcdAndRefusesInvalidDates) {
    EXPECT_EQ(ask(0x11, kMay7th), Bytes{0});
    EXPECT_EQ(ask(0x10), kMay7th);
    passTime(61s);
    EXPECT_EQ(ask(0x10), (Bytes{0x20, 0x24, 0x05, 0x07, 0x09, 0x04, 0x02}));

    EXPECT_EQ(ask(0x11, {0x20, 0x24, 0x02, 0x29, 0x23, 0x59, 0x59}), Bytes{0});  // leap day
    for (const Bytes& bad :
         {Bytes{0x20, 0x23, 0x02, 0x29, 0, 0, 0}, Bytes{0x20, 0x24, 0x1A, 0x01, 0, 0, 0},
          Bytes{0x20, 0x24, 0x01, 0x01, 0x24, 0, 0}, Bytes{0x20, 0x24, 0x01, 0x01, 0, 0x60, 0}}) {
        EXPECT_EQ(ask(0x11, bad), Bytes{1});
    }
    EXPECT_EQ(ask(0x10), (Bytes{0x20, 0x24, 0x02, 0x29, 0x23, 0x59, 0x59}));
}

TEST_F(InstrumentModelTest, LogsARecordAtEveryIntervalBoundaryOfItsClock) {
    ask(0x11, kMay7th);  // 09:03:01
    passTime(59s);       // 09:04:00 exactly
    const auto atBoundary = model.currentTemperatures();
    passTime(70s);  // 09:05:10
    EXPECT_EQ(ask(0x12, {0}), (Bytes{0, 2}));

    const Bytes record = ask(0x12, {1});
    EXPECT_EQ(Bytes(record.begin(), record.begin() + 7),
              (Bytes{0x20, 0x24, 0x05, 0x07, 0x09, 0x04, 0x00}));
    for (std::size_t word = 0; word < 68; ++word) {
        EXPECT_EQ(BigEndian16(record, 7 + 2 * word), atBoundary[word].raw()) << "word " << word;
    }
    EXPECT_EQ(ask(0x12, {2})[5], 0x05);  // 09:05:00
    EXPECT_EQ(ask(0x12, {3}), Bytes(143, 0x00));

    EXPECT_EQ(ask(0x13, {0}), Bytes{1});
    EXPECT_EQ(ask(0x13, {61}), Bytes{1});
    EXPECT_EQ(ask(0x13, {15}), Bytes{0});
    EXPECT_EQ(ask(0x14), Bytes{15});
    passTime(44min);  // 09:49:10: boundaries at :15, :30 and :45
    EXPECT_EQ(ask(0x12, {0}), (Bytes{0, 5}));
    EXPECT_EQ(ask(0x12, {5})[5], 0x45);

    EXPECT_EQ(ask(0x15), Bytes{0});
    EXPECT_EQ(ask(0x12, {0}), (Bytes{0, 0}));

    // Preloaded records end at the latest boundary.
    model.preloadRecords(3);
    ASSERT_EQ(model.records().size(), 3u);
    EXPECT_THAT(model.records()[0].stamp, ElementsAre(0x20, 0x24, 0x05, 0x07, 0x09, 0x15, 0x00));
    EXPECT_THAT(model.records()[2].stamp, ElementsAre(0x20, 0x24, 0x05, 0x07, 0x09, 0x45, 0x00));
}

TEST_F(InstrumentModelTest, StopsLoggingWhenFullAndSurvivesClockJumps) {
    model.setRecordCapacity(3);
    passTime(10min);
    model.advance();
    EXPECT_EQ(model.records().size(), 3u);

    model.setRecordCapacity(2000);
    model.deleteRecords();
    passTime(-(24h));  // the wall clock goes back: nothing is logged until it comes forward again
    model.advance();
    EXPECT_TRUE(model.records().empty());
    passTime(24h * 365);  // a year ahead: catching up is bounded by the capacity
    model.advance();
    EXPECT_EQ(model.records().size(), 2000u);
}

TEST_F(InstrumentModelTest, KeepsABoundedHistoryOfTheReadingsItSent) {
    ModelOptions options;
    options.historyCapacity = 3;
    model = makeModel(options);
    Bytes last;
    for (int i = 0; i < 5; ++i) {
        last = ask(0x0B);
        passTime(1s);
    }
    ASSERT_EQ(model.sentReadings().size(), 3u);
    const SentReading& newest = model.sentReadings().back();
    for (std::size_t word = 0; word < newest.words.size(); ++word) {
        EXPECT_EQ(newest.words[word].raw(), BigEndian16(last, 2 * word));
    }
}

}  // namespace
}  // namespace tavolex::sim
