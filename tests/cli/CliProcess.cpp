#include "CliProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <regex>
#include <thread>

extern char** environ;

namespace tavolex::testing {

namespace chr = std::chrono;

namespace {

// The environment with the language variables, and every variable that `language` sets,
// replaced by `language`.
std::vector<std::string> EnvironmentIn(const std::vector<std::string>& language) {
    std::vector<std::string> replaced{"LANGUAGE=", "LC_ALL=", "LC_MESSAGES=", "LANG="};
    for (const std::string& setting : language)
        replaced.push_back(setting.substr(0, setting.find('=') + 1));
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view variable(*entry);
        const bool isReplaced =
            std::any_of(replaced.begin(), replaced.end(),
                        [&](const std::string& name) { return variable.starts_with(name); });
        if (!isReplaced) variables.emplace_back(variable);
    }
    variables.insert(variables.end(), language.begin(), language.end());
    return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& arguments,
                       const std::filesystem::path& directory,
                       const std::vector<std::string>& language, const std::string& program)
    : m_out(directory / ".cli-out"), m_err(directory / ".cli-err") {
    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = Pointers(args);
    std::vector<std::string> variables = EnvironmentIn(language);
    std::vector<char*> envp = Pointers(variables);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    constexpr int kNew = O_WRONLY | O_CREAT | O_TRUNC;
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, m_out.c_str(), kNew, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, m_err.c_str(), kNew, 0600);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
    if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_GT(m_pid, 0) << "cannot run " << TAVOLEX_CLI_PROGRAM;
}

bool CliProcess::waitForLines(std::size_t count, chr::milliseconds timeout) const {
    const auto end = chr::steady_clock::now() + timeout;
    while (Lines(FileText(m_out)).size() < count) {
        if (chr::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(chr::milliseconds(10));
    }
    return true;
}

void CliProcess::signal(int number) const {
    if (m_pid > 0) ::kill(m_pid, number);
}

CliResult CliProcess::finish(chr::milliseconds timeout) {
    if (m_pid <= 0) return {};
    const auto end = chr::steady_clock::now() + timeout;
    int status = 0;
    while (::waitpid(m_pid, &status, WNOHANG) == 0) {
        if (chr::steady_clock::now() >= end) {
            ADD_FAILURE() << "tavolex-cli still running; killed";
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(chr::milliseconds(5));
    }
    m_pid = -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status), FileText(m_out),
            FileText(m_err)};
}

std::map<std::string, std::string> ParseJsonObject(std::string line) {
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

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line(text.substr(start, end - start));
        if (line.ends_with('\r')) line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

}  // namespace tavolex::testing
