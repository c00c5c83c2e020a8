// The simulated instrument's answers to each request, and the state behind them.
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
using testing::_;
using testing::Each;
using testing::ElementsAre;
using testing::Property;

const Bytes kMay7th{0x20, 0x24, 0x05, 0x07, 0x09, 0x03, 0x01};  // 2024-05-07 09:03:01
const Bytes kNoSerial{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

class InstrumentModelTest : public testing::Test {
protected:
    InstrumentModel makeModel(ModelOptions options = {}) {
        return InstrumentModel(options, [this] { return m_wall; });
    }
    // The data bytes of the reply, whose frame must announce their number and add up.
    Bytes ask(std::uint8_t code, Bytes payload = {}) {
        const auto reply = model.handle(Request{1, code, std::move(payload)});
        if (!reply) {
            ADD_FAILURE() << "no reply to code " << int(code);
            return {};
        }
        EXPECT_TRUE(HasValidChecksum(*reply)) << int(code);
        EXPECT_EQ(BigEndian16(*reply, 5), reply->size() - 9) << int(code);
        return Bytes(reply->begin() + kReplyDataOffset, reply->end() - 2);
    }
    void passTime(chr::system_clock::duration duration) { m_wall += duration; }

    chr::system_clock::time_point m_wall = chr::sys_days{chr::year{2030} / 1 / 1};
    InstrumentModel model = makeModel();
};

TEST_F(InstrumentModelTest, SilentForUnknownCodesMalformedPayloadsAndOtherAddresses) {
    for (std::uint8_t code : {0x00, 0x06, 0x0C, 0x0E, 0x0F, 0x17, 0xFF})
        EXPECT_FALSE(model.handle(Request{1, code, {}})) << "code " << int(code);
    for (const Request& malformed :
         {Request{1, command::kReadTemperatures, {0}},
          Request{1, command::kReadPt100ParametersOrVersion, {4}},
          Request{1, command::kCalibrate, {4, 0}}, Request{1, command::kCalibrate, {1, 4}}})
        EXPECT_FALSE(model.handle(malformed)) << int(malformed.code);
    model.setAddress(3);
    EXPECT_FALSE(model.handle(Request{4, command::kReadClock, {}}));
    EXPECT_TRUE(model.handle(Request{3, command::kReadClock, {}}));
}

// Manual registration answers 0 done, 1 bad channel, 2 bad serial or 3 bad port.
TEST_F(InstrumentModelTest, SemiAutomaticManualAndFullyAutomaticRegistration) {
    EXPECT_EQ(ask(0x02, {1, 5}), kNoSerial);  // 32 probes on port A
    EXPECT_EQ(ask(0x02, {1, 0}), Bytes(9, 0x00));
    EXPECT_EQ(ask(0x02, {1, 65}), Bytes(9, 0x00));
    model.setPluggedCount(ProbePort::B, 1);
    const ProbeSerial probe = model.pluggedProbes(ProbePort::B)[0];
    Bytes expected{2};
    expected.insert(expected.end(), probe.begin(), probe.end());
    EXPECT_EQ(ask(0x02, {2, 7}), expected);
    EXPECT_EQ(ask(0x03, {7}), expected);
    model.setPluggedCount(ProbePort::B, 0);
    EXPECT_EQ(ask(0x02, {2, 7}), kNoSerial);

    ProbeSerial serial{0x28, 0, 0, 0, 0, 0, 0, 0};  // 28 and seven empty fields is a valid entry
    const auto manual = [&](std::uint8_t port, std::uint8_t channel) {
        Bytes payload{port, channel};
        payload.insert(payload.end(), serial.begin(), serial.end());
        return ask(0x04, payload);
    };
    EXPECT_EQ(manual(2, 9), Bytes{0});
    EXPECT_EQ(model.binding(9), (Binding{ProbePort::B, serial}));
    EXPECT_EQ(manual(1, 0), Bytes{1});
    EXPECT_EQ(manual(1, 65), Bytes{1});
    EXPECT_EQ(manual(3, 9), Bytes{3});
    serial[0] = 0x10;
    EXPECT_EQ(manual(1, 9), Bytes{2});
    serial.fill(0xFF);
    EXPECT_EQ(manual(1, 9), Bytes{2});
    EXPECT_EQ(model.binding(9)->port, ProbePort::B);

    // Fully automatic numbers port A first, at most 32 per port.
    model.setPluggedCount(ProbePort::A, 10);
    model.setPluggedCount(ProbePort::B, 15);
    EXPECT_EQ(ask(0x05), Bytes{25});
    for (int channel = 1; channel <= 25; ++channel) {
        const Binding bound =
            channel <= 10 ? Binding{ProbePort::A, model.probeOfPort(ProbePort::A, channel - 1)}
                          : Binding{ProbePort::B, model.probeOfPort(ProbePort::B, channel - 11)};
        EXPECT_EQ(model.binding(channel), bound) << "channel " << channel;
    }
    EXPECT_EQ(ask(0x03, {26}), kNoSerial);
    model.setPluggedCount(ProbePort::A, 40);
    model.setPluggedCount(ProbePort::B, 40);
    EXPECT_EQ(ask(0x05), Bytes{80});
    EXPECT_EQ(model.binding(32)->serial, model.probeOfPort(ProbePort::A, 31));
    EXPECT_EQ(model.binding(33)->serial, model.probeOfPort(ProbePort::B, 0));
    EXPECT_EQ(model.binding(64)->serial, model.probeOfPort(ProbePort::B, 31));
}

TEST_F(InstrumentModelTest, ProbesCarryTheirRomCrcAndChannelsWithoutAProbeReadNothing) {
    // Known 1-Wire ROM code from the CRC's published example.
    EXPECT_EQ(RomCrc8(std::array<std::uint8_t, 7>{0x02, 0x1C, 0xB8, 0x01, 0, 0, 0}), 0xA2);
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
    EXPECT_THAT(std::vector(words.begin() + 4, words.end()), Each(Property(&TenthDegree::raw, 0)));
}

// The signal count is clamped and sets the words read, four PT100 words first.
TEST_F(InstrumentModelTest, TemperaturesArePlausibleDriftRepeatForTheSeedAndFollowTheSignalCount) {
    std::set<std::uint16_t> seen;
    for (int minute = 0; minute < 24 * 60; minute += 7, passTime(7min)) {
        for (TenthDegree word : model.currentTemperatures()) {
            ASSERT_FALSE(word.negative());
            ASSERT_GE(word.tenths(), 150);
            ASSERT_LE(word.tenths(), 330);
            seen.insert(word.raw());
        }
    }
    EXPECT_GT(seen.size(), 50u);
    const Request read{1, command::kReadTemperatures, {}};
    EXPECT_EQ(makeModel().handle(read), model.handle(read));
    ModelOptions otherSeed;
    otherSeed.seed = 2;
    EXPECT_NE(makeModel(otherSeed).handle(read), model.handle(read));

    EXPECT_EQ(ask(0x01, {200}), Bytes{64});
    EXPECT_EQ(ask(0x01, {10}), Bytes{10});
    EXPECT_EQ(ask(0x0B).size(), 2u * (4 + 10));
    EXPECT_EQ(ask(0x01, {0}), Bytes{0});
    EXPECT_EQ(ask(0x0B).size(), 8u);
    EXPECT_EQ(ask(0x07).size(), 8u);
}

TEST_F(InstrumentModelTest, OffsetsAndPt100CalibrationAreStoredAndReadBack) {
    const auto before = model.currentTemperatures();
    EXPECT_EQ(ask(0x0A, {2, 2, 50}), Bytes{0});    // digital channel 3, +5.0
    EXPECT_EQ(ask(0x0A, {1, 0, 0xF4}), Bytes{0});  // PT100 channel 1, -1.2
    for (const Bytes& refused : {Bytes{1, 4, 1}, Bytes{2, 64, 1}, Bytes{3, 0, 1}})
        EXPECT_EQ(ask(0x0A, refused), Bytes{1});
    const auto after = model.currentTemperatures();
    EXPECT_EQ(after[4 + 2].tenths(), before[4 + 2].tenths() + 50);
    EXPECT_EQ(after[0].tenths(), before[0].tenths() - 12);
    EXPECT_EQ(after[1].raw(), before[1].raw());
    Bytes offsets(68, 0);
    offsets[2] = 50, offsets[64] = 0xF4;
    EXPECT_EQ(ask(0x0D), offsets);
    // The PT100 reply gives sign and magnitude.
    EXPECT_THAT(ask(0x08, {0}), ElementsAre(_, 0x8C, _, _, _, _, _));

    const Bytes resistor2 = ask(0x09, {3, 2}), zero = ask(0x09, {1, 2});
    const Bytes parameters = ask(0x08, {2});
    EXPECT_EQ(parameters[0], zero[0]);
    EXPECT_EQ(Bytes(parameters.begin() + 5, parameters.end()), resistor2);
    EXPECT_EQ(BigEndian16(parameters, 3), model.pt100Parameters(2).resistor1Ad);
    EXPECT_EQ(ask(0x09, {2}), (Bytes{0, 2}));
    EXPECT_EQ(ask(0x09, {4}), (Bytes{1, 4}));
    EXPECT_EQ(model.lastLowTemperatureCalibration(), 2);
    EXPECT_EQ(ask(0x08), Bytes{32});
}

TEST_F(InstrumentModelTest, ClockIsSetInBcdRefusesInvalidDatesAndLogsAtEachIntervalBoundary) {
    EXPECT_EQ(ask(0x11, kMay7th), Bytes{0});
    EXPECT_EQ(ask(0x10), kMay7th);
    passTime(61s);
    EXPECT_EQ(ask(0x10), (Bytes{0x20, 0x24, 0x05, 0x07, 0x09, 0x04, 0x02}));
    EXPECT_EQ(ask(0x11, {0x20, 0x24, 0x02, 0x29, 0x23, 0x59, 0x59}), Bytes{0});  // leap day
    for (const Bytes& bad :
         {Bytes{0x20, 0x23, 0x02, 0x29, 0, 0, 0}, Bytes{0x20, 0x24, 0x1A, 0x01, 0, 0, 0},
          Bytes{0x20, 0x24, 0x01, 0x01, 0x24, 0, 0}, Bytes{0x20, 0x24, 0x01, 0x01, 0, 0x60, 0}})
        EXPECT_EQ(ask(0x11, bad), Bytes{1});
    EXPECT_EQ(ask(0x10), (Bytes{0x20, 0x24, 0x02, 0x29, 0x23, 0x59, 0x59}));

    // A record is logged at every interval boundary of the instrument's clock.
    ask(0x15);
    ask(0x11, kMay7th);  // 09:03:01
    passTime(59s);       // 09:04:00 exactly
    const auto atBoundary = model.currentTemperatures();
    passTime(70s);  // 09:05:10
    EXPECT_EQ(ask(0x12, {0}), (Bytes{0, 2}));
    const Bytes record = ask(0x12, {1});
    EXPECT_EQ(Bytes(record.begin(), record.begin() + 7),
              (Bytes{0x20, 0x24, 0x05, 0x07, 0x09, 0x04, 0x00}));
    for (std::size_t word = 0; word < 68; ++word)
        EXPECT_EQ(BigEndian16(record, 7 + 2 * word), atBoundary[word].raw()) << "word " << word;
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

TEST_F(InstrumentModelTest, StopsLoggingWhenFullSurvivesClockJumpsAndBoundsItsHistory) {
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
    ModelOptions options;
    options.historyCapacity = 3;
    model = makeModel(options);
    Bytes last;
    for (int i = 0; i < 5; ++i, passTime(1s))
        last = ask(0x0B);
    ASSERT_EQ(model.sentReadings().size(), 3u);
    const SentReading& newest = model.sentReadings().back();
    for (std::size_t word = 0; word < newest.words.size(); ++word)
        EXPECT_EQ(newest.words[word].raw(), BigEndian16(last, 2 * word));
}

}  // namespace
}  // namespace tavolex::sim
