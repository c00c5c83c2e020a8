// Continuous acquisition on the real port against the simulated instrument: a run of a few
// seconds records what the instrument sent, counts and logs the faults it was given.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <sstream>

#include "ContinuousAcquisition.h"
#include "Gbk.h"
#include "MainDialog.h"
#include "RecordingOperator.h"
#include "SimulatorFixture.h"
#include "TemporaryDirectory.h"

namespace tavolex {
namespace {

using testing::FileText;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
    std::size_t found = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++found;
    return found;
}

class ContinuousAcquisitionE2eTest : public testing::SimulatorTest {
protected:
    void press() {
        QTest::mouseClick(window.control<QPushButton>(MainDialog::kContinuousButton),
                          Qt::LeftButton);
    }
    int count(int label) { return window.control<QLabel>(label)->text().toInt(); }

    testing::TemporaryWorkingDirectory directory{"continuous-e2e"};
    testing::RecordingOperator person;
    MainDialog window{opener, SystemClock(), person};
};

TEST_F(ContinuousAcquisitionE2eTest, ARunRecordsWhatTheInstrumentSentAndLogsItsFaults) {
    startSimulator();
    host->faults().add(*sim::FaultRule::Parse("checksum:0x0B:count=2"));
    window.continuousAcquisition().recordOptionsAction().trigger();
    window.control<QCheckBox>(MainDialog::kSaveLogCheck)->setChecked(true);
    window.control<QLineEdit>(MainDialog::kRecordPeriodEdit)->setText("0");
    window.control<QLineEdit>(MainDialog::kPeriodEdit)->setText("600");

    press();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return count(MainDialog::kSuccessCountLabel) >= 4; }, 20'000));
    EXPECT_EQ(count(MainDialog::kFailureCountLabel), 2);
    press();
    window.done(QDialog::Rejected);
    ASSERT_TRUE(person.messages.empty()) << person.messages.front();

    // The readings that arrived intact, in order.
    std::vector<std::vector<TenthDegree>> intact;
    host->withModel([&intact](sim::InstrumentModel& model) {
        for (const sim::SentReading& reading : model.sentReadings()) {
            if (reading.faults.empty()) intact.push_back(reading.words);
        }
    });
    ASSERT_GE(intact.size(), 4u);

    std::filesystem::path dataFile;
    for (const auto& name : directory.files()) {
        if (name != "QRNA_log.txt") dataFile = directory.path() / name;
    }
    ASSERT_FALSE(dataFile.empty());
    // With a record period of 0 a reading is recorded when its second differs from the last
    // record's; every line is one intact reading, the first one always.
    const std::vector<std::string> lines = Split(FileText(dataFile), '\n');
    ASSERT_GE(lines.size(), 2u);
    std::size_t next = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].back(), '\r');
        std::vector<std::string> fields = Split(lines[i].substr(0, lines[i].size() - 1), '\t');
        ASSERT_EQ(fields.front().size(), 8u) << lines[i];
        fields.erase(fields.begin());
        std::vector<std::string> expected;
        for (; next < intact.size() && expected != fields; ++next) {
            expected.clear();
            for (const TenthDegree& word : intact[next])
                expected.push_back(word.text());
        }
        ASSERT_EQ(fields, expected) << "line " << i << " matches no reading after the last";
        if (i == 0) {
            EXPECT_EQ(next, 1u) << "the first intact reading was not recorded";
        }
    }

    const std::string log = FileText(directory.path() / "QRNA_log.txt");
    EXPECT_EQ(Occurrences(log, Utf8ToGbk("校验错误，")), 2u);
}

}  // namespace
}  // namespace tavolex
