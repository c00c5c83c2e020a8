// Files for tests: fresh directories named after the running test, and whole-file reads.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace tavolex::testing {

// "Suite-Test" of the running test, so that tests run in parallel use different names.
inline std::string CurrentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "-" + info->name();
}

// The file's bytes; empty if it cannot be read.
inline std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A fresh, empty directory of its own for the object's lifetime, made under a random name that
// nobody else has taken, so two runs of the same test at once (two presets, two clones) never
// share it.
class TemporaryDirectory {
public:
    explicit TemporaryDirectory(const std::string& name = CurrentTestName())
        : m_path(MakeUnique(name)) {}
    ~TemporaryDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The files in the directory, by name.
    std::vector<std::filesystem::path> files() const {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            found.push_back(entry.path().filename());
        return found;
    }

private:
    static std::filesystem::path MakeUnique(std::string name) {
        // Parameterised tests have slashes in their names.
        std::replace(name.begin(), name.end(), '/', '_');
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "-%08x", static_cast<unsigned>(random()));
            const std::filesystem::path candidate = base / ("tavolex-" + name + suffix);
            std::error_code error;
            // Made here or not at all: a name taken by another run is tried again.
            if (std::filesystem::create_directory(candidate, error)) return candidate;
        }
        ADD_FAILURE() << "cannot make a temporary directory in " << base;
        return base / ("tavolex-" + name);
    }

    std::filesystem::path m_path;
};

// A fresh directory made the process's current directory for the object's lifetime, for
// windows that write their files into the directory they were started in.
class TemporaryWorkingDirectory : public TemporaryDirectory {
public:
    explicit TemporaryWorkingDirectory(const std::string& name = CurrentTestName())
        : TemporaryDirectory(name), m_previous(std::filesystem::current_path()) {
        std::filesystem::current_path(path());
    }
    ~TemporaryWorkingDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
    }

private:
    std::filesystem::path m_previous;
};

}  // namespace tavolex::testing
