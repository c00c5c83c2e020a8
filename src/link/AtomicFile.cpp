#include "AtomicFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace tavolex {

namespace {

// The process's file-creation mask as it stood when the program was loaded, before any thread
// could create a file: reading it means setting it for a moment.
const mode_t kUmaskAtLoad = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}();

// The current mask, read without changing it (Linux reports it in /proc/self/status); the
// mask at load where the system does not.
mode_t CurrentUmask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found) return static_cast<mode_t>(mask);
    }
    return kUmaskAtLoad;
}

}  // namespace

bool WriteAllBytes(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool AppendAllOrNothing(const std::filesystem::path& file, std::string_view bytes) {
    struct stat before {};
    const bool existed = ::stat(file.c_str(), &before) == 0;
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = WriteAllBytes(fd, bytes);
    if (!written) {
        // Part of a record would stay in front of every later one: take it back. Should that
        // fail too, the append is still reported as failed below.
        if (existed) {
            [[maybe_unused]] const int truncated = ::ftruncate(fd, before.st_size);
        } else {
            (void)::unlink(file.c_str());
        }
    }
    return ::close(fd) == 0 && written;
}

bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
    std::string temporary = file.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    // mkstemp makes the file private; a saved file gets the usual permissions.
    (void)::fchmod(fd, 0666 & ~CurrentUmask());
    const bool written = WriteAllBytes(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), file.c_str()) != 0) {
        (void)::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace tavolex
