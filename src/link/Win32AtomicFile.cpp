// Whole-file and all-or-nothing writes with the Windows C runtime: Windows renames over an
// existing file only through MoveFileEx, and flushes a file with _commit.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include <windows.h>
#include "AtomicFile.h"

namespace tavolex {

namespace {

constexpr unsigned kChunkBytes = 1U << 30;

}  // namespace

bool WriteAllBytes(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), kChunkBytes));
        const int n = ::_write(fd, bytes.data(), chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool AppendAllOrNothing(const std::filesystem::path& file, std::string_view bytes) {
    std::error_code error;
    const bool existed = std::filesystem::exists(file, error);
    const std::uintmax_t before = existed ? std::filesystem::file_size(file, error) : 0;
    if (error) return false;
    const int fd =
        ::_wopen(file.c_str(), _O_WRONLY | _O_CREAT | _O_APPEND | _O_BINARY | _O_NOINHERIT,
                 _S_IREAD | _S_IWRITE);
    if (fd < 0) return false;
    const bool written = WriteAllBytes(fd, bytes);
    if (!written && existed) (void)::_chsize_s(fd, static_cast<long long>(before));
    const bool closed = ::_close(fd) == 0;
    // Part of a record would stay in front of every later one: take it back.
    if (!written && !existed) (void)::_wunlink(file.c_str());
    return closed && written;
}

bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
    std::wstring temporary = file.wstring() + L".XXXXXX";
    if (::_wmktemp_s(temporary.data(), temporary.size() + 1) != 0) return false;
    const int fd =
        ::_wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                 _S_IREAD | _S_IWRITE);
    if (fd < 0) return false;
    const bool written = WriteAllBytes(fd, bytes) && ::_commit(fd) == 0;
    const bool closed = ::_close(fd) == 0;
    if (!written || !closed ||
        !MoveFileExW(temporary.c_str(), file.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        (void)::_wunlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace tavolex
