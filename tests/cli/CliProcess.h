// The built tavolex-cli run as a child process, with its standard output and error captured,
// and the simulated instrument as com1 of a private ports folder.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "SimulatorFixture.h"

namespace tavolex::testing {

struct CliResult {
    int status = -1;  // the exit status; minus the signal when a signal ended it
    std::string out;
    std::string err;
};

class CliProcess {
public:
    // Starts the program in `workingDirectory` with the given arguments.
    CliProcess(const std::vector<std::string>& arguments,
               const std::filesystem::path& workingDirectory);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // Reads output until standard output holds `count` lines, or the time has passed.
    bool waitForLines(std::size_t count, std::chrono::milliseconds timeout);
    void signal(int number);
    // Reads to the end of both streams and waits for the exit (killing the program after
    // `timeout`).
    CliResult finish(std::chrono::milliseconds timeout = std::chrono::seconds(20));

private:
    // Reads what is there within `wait`; false when both streams have ended.
    bool readSome(std::chrono::milliseconds wait);

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    CliResult m_result;
};

// One flat JSON object of a line of output: each field's text (strings unquoted and
// unescaped, numbers and null as written).
std::map<std::string, std::string> ParseJsonObject(std::string_view line);

// The lines of the text, without their line ends.
std::vector<std::string> Lines(std::string_view text);

// The simulator as com1 (from SimulatorTest) and a working directory for the program.
class CliTest : public SimulatorTest {
protected:
    CliResult run(const std::vector<std::string>& arguments) {
        return CliProcess(arguments, work.path()).finish();
    }
    template <class F>
    decltype(auto) model(F&& f) {
        return host->withModel(std::forward<F>(f));
    }

    TemporaryDirectory work{"cli-work-" + CurrentTestName()};
};

}  // namespace tavolex::testing
