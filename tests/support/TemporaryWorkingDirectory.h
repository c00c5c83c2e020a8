// A fresh, empty directory made the process's current directory for the object's lifetime,
// for windows that write their files into the directory they were started in.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace tavolex::testing {

class TemporaryWorkingDirectory {
public:
    explicit TemporaryWorkingDirectory(const std::string& name)
        : m_previous(std::filesystem::current_path()),
          m_path(std::filesystem::temp_directory_path() / ("tavolex-" + name)) {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
        std::filesystem::current_path(m_path);
    }
    ~TemporaryWorkingDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryWorkingDirectory(const TemporaryWorkingDirectory&) = delete;
    TemporaryWorkingDirectory& operator=(const TemporaryWorkingDirectory&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The files in the directory, by name.
    std::vector<std::filesystem::path> files() const {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            found.push_back(entry.path().filename());
        return found;
    }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

}  // namespace tavolex::testing
