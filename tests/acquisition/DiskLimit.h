// A full disk for the tests: the file-size limit of the process, past which a write fails with
// EFBIG (as it would with no space left) instead of the process being signalled.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

namespace tavolex::testing {

// Files of the process stop growing at `bytes` while the object lives.
class DiskLimit {
public:
    explicit DiskLimit(rlim_t bytes) {
        m_signal = ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit limit{bytes, m_old.rlim_max};
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~DiskLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        ::signal(SIGXFSZ, m_signal);
    }
    DiskLimit(const DiskLimit&) = delete;
    DiskLimit& operator=(const DiskLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_signal)(int) = nullptr;
};

}  // namespace tavolex::testing
