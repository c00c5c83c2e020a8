// The real port against the simulated instrument on a pseudo-terminal, linked as com1 in a
// private ports folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "InstrumentModel.h"
#include "LinkContext.h"
#include "PosixSerialPort.h"
#include "PtyHost.h"
#include "TemporaryDirectory.h"

namespace tavolex::testing {

class SimulatorTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("TAVOLEX_PORTS_DIR", portsDir.c_str(), 1); }
    void TearDown() override {
        if (host) host->stop();
        unsetenv("TAVOLEX_PORTS_DIR");
    }

    // Starts the simulator as com1.
    // The instrument's time is the given wall clock's, or the system's.
    void startSimulator(sim::ModelOptions model = {}, sim::HostOptions options = {},
                        sim::WallClock wallClock = {}) {
        options.linkPath = portsDir / "com1";
        host = std::make_unique<sim::PtyHost>(sim::InstrumentModel(model, std::move(wallClock)),
                                              options);
        std::string error;
        ASSERT_TRUE(host->start(&error)) << error;
    }

    PortHandle open(PortProfile profile = PortProfile::Command) {
        return OpenPort(settings, profile);
    }

    TemporaryDirectory portsFolder{"e2e-" + CurrentTestName()};
    const std::filesystem::path portsDir = portsFolder.path();
    std::unique_ptr<sim::PtyHost> host;
    LinkSettings settings{1, 9600, 0};
    PosixPortOpener opener;
    LinkContext link{opener, SystemClock()};
};

}  // namespace tavolex::testing
