// The built tavolex-cli run as a child process, its standard output and error captured in
// files, against the simulated instrument as com1 of a private ports folder.
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
    // Starts the program in `workingDirectory` (which also takes its two output files), with
    // this process's environment less its language variables, plus `language` ("NAME=value",
    // which may also set other variables).
    CliProcess(const std::vector<std::string>& arguments, const std::filesystem::path& directory,
               const std::vector<std::string>& language = {"LANGUAGE=zh_CN"},
               const std::string& program = TAVOLEX_CLI_PROGRAM);
    ~CliProcess() { finish(std::chrono::milliseconds(0)); }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    // True once standard output holds `count` lines; false when the time has passed first.
    bool waitForLines(std::size_t count, std::chrono::milliseconds timeout) const;
    void signal(int number) const;
    // Waits for the exit, killing the program after `timeout`.
    CliResult finish(std::chrono::milliseconds timeout = std::chrono::seconds(20));

private:
    std::filesystem::path m_out;
    std::filesystem::path m_err;
    pid_t m_pid = -1;
};

// The fields of a flat JSON object: strings unescaped, numbers and null as written.
std::map<std::string, std::string> ParseJsonObject(std::string line);

// The lines of the text, without their line ends.
std::vector<std::string> Lines(std::string_view text);

class CliTest : public SimulatorTest {
protected:
    // Runs the client in Chinese, the language of the operations' own messages.
    CliResult run(const std::vector<std::string>& arguments) {
        return CliProcess(arguments, work.path()).finish();
    }
    CliResult runWith(const std::vector<std::string>& language,
                      const std::vector<std::string>& arguments) {
        return CliProcess(arguments, work.path(), language).finish();
    }
    template <class F>
    decltype(auto) model(F&& f) {
        return host->withModel(std::forward<F>(f));
    }

    TemporaryDirectory work{"cli-work-" + CurrentTestName()};
};

}  // namespace tavolex::testing
