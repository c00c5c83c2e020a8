// A continuous acquisition on the fake line: the window's side of the run, its files in a
// directory of the test's own, and a wall time that follows the manual clock from a whole second.
#pragma once

#include <gtest/gtest.h>

#include "AcquisitionLoop.h"
#include "FakeLine.h"
#include "TemporaryDirectory.h"

namespace tavolex::testing {

struct Result {
    bool success;
    int count;
    int firstWord;
};

// The settings it is asked for, and the results it is shown until `stopAfter` of them.
class FakeWindow final : public AcquisitionObserver {
public:
    explicit FakeWindow(AcquisitionShared& shared) : m_shared(shared) {}

    AcquisitionSettings fetchSettings() override {
        if (stopWhileFetching) m_shared.runFlag = false;
        return settings;
    }
    void showResult(bool success, int count) override {
        results.push_back({success, count, reply.word(0).tenths()});
        if (results.size() >= stopAfter) m_shared.runFlag = false;
    }
    void reportOpenFailure() override { ++openFailures; }

    AcquisitionSettings settings{1, 9600, 0, 1000};
    TemperatureReply reply;
    std::vector<Result> results;
    std::size_t stopAfter = 1;
    bool stopWhileFetching = false;
    int openFailures = 0;

private:
    AcquisitionShared& m_shared;
};

class AcquisitionRun : public ::testing::Test {
protected:
    AcquisitionRun() {
        shared.runFlag = true;
        shared.dataFileName = dir.path() / "data.txt";
        environment.errorLog = ErrorLogFile::InDirectory(dir.path());
        environment.wallTime = [this] {
            return std::time_t{1'700'000'000} +
                   std::chrono::duration_cast<std::chrono::seconds>(clock.elapsed()).count();
        };
    }

    void run() { RunAcquisition(window, shared, window.reply, environment); }

    testing::TemporaryDirectory dir;
    ManualClock clock;
    FakeLine line{clock};
    FakeLink link{line};
    AcquisitionShared shared;
    FakeWindow window{shared};
    AcquisitionEnvironment environment{link.opener, clock, {}};
};

}  // namespace tavolex::testing
