// The built tavolex-cli against the simulated instrument as com1 of a private ports folder.
#pragma once

#include <map>
#include <regex>

#include "ChildProcess.h"
#include "SimulatorFixture.h"

namespace tavolex::testing {

using CliResult = ChildResult;

// The client in `directory`, in Chinese (the language of the operations' own messages) unless
// `settings` say otherwise.
class CliProcess : public ChildProcess {
public:
    CliProcess(const std::vector<std::string>& arguments, const std::filesystem::path& directory,
               const std::vector<std::string>& settings = {"LANGUAGE=zh_CN"})
        : ChildProcess(TAVOLEX_CLI_PROGRAM, arguments, directory, settings) {}
};

// The fields of a flat JSON object: strings unescaped, numbers and null as written.
inline std::map<std::string, std::string> ParseJsonObject(std::string line) {
    if (line.ends_with('\n')) line.pop_back();
    static const std::regex field(R"re("((?:[^"\\]|\\.)*)":("(?:[^"\\]|\\.)*"|[^,}]*))re");
    static const std::regex escape(R"(\\(.))");
    EXPECT_TRUE(line.starts_with('{') && line.ends_with('}')) << line;
    std::map<std::string, std::string> fields;
    for (auto it = std::sregex_iterator(line.begin(), line.end(), field);
         it != std::sregex_iterator(); ++it) {
        std::string value = (*it)[2];
        if (value.starts_with('"'))
            value = std::regex_replace(value.substr(1, value.size() - 2), escape, "$1");
        fields[(*it)[1]] = value;
    }
    return fields;
}

class CliTest : public SimulatorTest {
protected:
    CliResult run(const std::vector<std::string>& arguments,
                  const std::vector<std::string>& environment = {"LANGUAGE=zh_CN"}) {
        return CliProcess(arguments, work.path(), environment).finish();
    }
    // Runs the client, checks its exit status and the whole of its standard error, and returns
    // its standard output.
    std::string expectRun(const std::vector<std::string>& arguments, int status,
                          const std::string& err) {
        const CliResult result = run(arguments);
        EXPECT_EQ(result.status, status) << ::testing::PrintToString(arguments) << result.err;
        EXPECT_EQ(result.err, err) << ::testing::PrintToString(arguments);
        return result.out;
    }
    template <class F>
    decltype(auto) model(F&& f) {
        return host->withModel(std::forward<F>(f));
    }

    TemporaryDirectory work{"cli-work-" + CurrentTestName()};
};

}  // namespace tavolex::testing
