#include "AtomicFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace tavolex {

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
    const mode_t mask = ::umask(0);
    ::umask(mask);
    (void)::fchmod(fd, 0666 & ~mask);
    const bool written = WriteAllBytes(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), file.c_str()) != 0) {
        (void)::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace tavolex
