#include "CliProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

extern char** environ;

namespace tavolex::testing {

namespace chr = std::chrono;

CliProcess::CliProcess(const std::vector<std::string>& arguments,
                       const std::filesystem::path& workingDirectory) {
    std::vector<std::string> args{TAVOLEX_CLI_PROGRAM};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : args)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "no pipes";
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    m_out = out[0];
    m_err = err[0];
    EXPECT_GT(m_pid, 0) << "cannot run " << TAVOLEX_CLI_PROGRAM;
}

CliProcess::~CliProcess() {
    if (m_pid > 0) finish(chr::milliseconds(0));
    if (m_out >= 0) ::close(m_out);
    if (m_err >= 0) ::close(m_err);
}

bool CliProcess::readSome(chr::milliseconds wait) {
    pollfd fds[2] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}};
    if (m_out < 0 && m_err < 0) return false;
    if (::poll(fds, 2, static_cast<int>(wait.count())) <= 0) return true;
    const std::pair<int*, std::string*> streams[] = {{&m_out, &m_result.out},
                                                     {&m_err, &m_result.err}};
    for (std::size_t i = 0; i < 2; ++i) {
        if (fds[i].revents == 0) continue;
        char buffer[4096];
        const ssize_t got = ::read(*streams[i].first, buffer, sizeof buffer);
        if (got > 0) {
            streams[i].second->append(buffer, static_cast<std::size_t>(got));
        } else {
            ::close(*streams[i].first);
            *streams[i].first = -1;
        }
    }
    return true;
}

bool CliProcess::waitForLines(std::size_t count, chr::milliseconds timeout) {
    const auto end = chr::steady_clock::now() + timeout;
    while (static_cast<std::size_t>(std::count(m_result.out.begin(), m_result.out.end(), '\n')) <
           count) {
        if (chr::steady_clock::now() >= end || !readSome(chr::milliseconds(20))) return false;
    }
    return true;
}

void CliProcess::signal(int number) {
    if (m_pid > 0) ::kill(m_pid, number);
}

CliResult CliProcess::finish(chr::milliseconds timeout) {
    const auto end = chr::steady_clock::now() + timeout;
    while (readSome(chr::milliseconds(20))) {
        if (chr::steady_clock::now() >= end) {
            ADD_FAILURE() << "tavolex-cli still running; killed";
            ::kill(m_pid, SIGKILL);
            break;
        }
    }
    int status = 0;
    if (m_pid > 0 && ::waitpid(m_pid, &status, 0) == m_pid) {
        m_result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }
    m_pid = -1;
    return m_result;
}

std::map<std::string, std::string> ParseJsonObject(std::string_view line) {
    std::map<std::string, std::string> fields;
    std::size_t at = 0;
    const auto skip = [&](char c) {
        if (at < line.size() && line[at] == c) {
            ++at;
            return true;
        }
        return false;
    };
    const auto string = [&] {
        std::string text;
        ++at;  // the opening quote
        while (at < line.size() && line[at] != '"') {
            if (line[at] == '\\' && at + 1 < line.size()) {
                ++at;
                text += line[at] == 'n' ? '\n' : line[at] == 't' ? '\t' : line[at];
            } else {
                text += line[at];
            }
            ++at;
        }
        ++at;  // the closing quote
        return text;
    };
    if (!skip('{')) {
        ADD_FAILURE() << "not a JSON object: " << line;
        return fields;
    }
    while (at < line.size() && line[at] == '"') {
        const std::string name = string();
        skip(':');
        if (at < line.size() && line[at] == '"') {
            fields[name] = string();
        } else {
            const std::size_t end = line.find_first_of(",}", at);
            fields[name] = std::string(line.substr(at, end - at));
            at = end;
        }
        skip(',');
    }
    EXPECT_TRUE(skip('}')) << "bad JSON object: " << line;
    return fields;
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

}  // namespace tavolex::testing
