// A built program of the project run as a child process, its standard output and error
// captured in files of its working folder.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "TemporaryDirectory.h"

extern char** environ;

namespace tavolex::testing {

// The lines of the text, without their line ends.
inline std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line); lines.push_back(line)) {
        if (line.ends_with('\r')) line.pop_back();
    }
    return lines;
}

struct ChildResult {
    int status = -1;  // the exit status; minus the signal when a signal ended it
    std::string out;
    std::string err;
};

class ChildProcess {
public:
    // Starts `program` in `directory` with this process's environment less its language
    // variables, plus `settings` ("NAME=value", which may also replace other variables).
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::filesystem::path& directory, const std::vector<std::string>& settings)
        : m_out(directory / ".child-out"), m_err(directory / ".child-err") {
        // env(1) takes the language variables out and puts the settings in.
        std::vector<std::string> args{"/usr/bin/env", "-u",          "LANGUAGE", "-u",  "LC_ALL",
                                      "-u",           "LC_MESSAGES", "-u",       "LANG"};
        args.insert(args.end(), settings.begin(), settings.end());
        args.push_back(program);
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        constexpr int kNew = O_WRONLY | O_CREAT | O_TRUNC;
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, m_out.c_str(), kNew, 0600);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, m_err.c_str(), kNew, 0600);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_GT(m_pid, 0) << "cannot run " << program;
    }
    ~ChildProcess() { finish(std::chrono::milliseconds(0)); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // True once standard output holds `count` lines; false when the time has passed first.
    bool waitForLines(std::size_t count, std::chrono::milliseconds timeout) const {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (Lines(FileText(m_out)).size() < count) {
            if (std::chrono::steady_clock::now() >= end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }
    void signal(int number) const {
        if (m_pid > 0) ::kill(m_pid, number);
    }
    // Waits for the exit, killing the program after `timeout`.
    ChildResult finish(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        if (m_pid <= 0) return {};
        const auto end = std::chrono::steady_clock::now() + timeout;
        int status = 0;
        while (::waitpid(m_pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() >= end) {
                ADD_FAILURE() << "child still running; killed";
                ::kill(m_pid, SIGKILL);
                ::waitpid(m_pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        m_pid = -1;
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status), FileText(m_out),
                FileText(m_err)};
    }

private:
    std::filesystem::path m_out;
    std::filesystem::path m_err;
    pid_t m_pid = -1;
};

}  // namespace tavolex::testing
