// Whole-file replacement and all-or-nothing appends, on the platform's own file calls.
#include <gtest/gtest.h>

#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "AtomicFile.h"
#include "TemporaryDirectory.h"

namespace tavolex {
namespace {

using testing::FileText;
using testing::TemporaryDirectory;
namespace fs = std::filesystem;

#ifndef _WIN32
TEST(AtomicFile, AReplacedFileTakesThePermissionsTheCurrentMaskAllowsAndAFullDeviceFails) {
    TemporaryDirectory dir;
    const fs::path file = dir.path() / "saved.csv";
    const mode_t before = ::umask(027);
    ASSERT_TRUE(WriteFileAtomically(file, "x"));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
    ::umask(002);
    ASSERT_TRUE(WriteFileAtomically(file, "y"));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0664));
    ::umask(before);
    // A device that takes no byte fails the append.
    EXPECT_FALSE(AppendAllOrNothing("/dev/full", "x"));
}
#endif

// A file that cannot be written fails and leaves nothing; a replaced file holds only the new
// bytes, with no temporary left beside it.
TEST(AtomicFile, WritesReplaceTheWholeFileAndAppendsAddToItByteForByte) {
    TemporaryDirectory dir;
    EXPECT_FALSE(WriteFileAtomically(dir.path() / "missing" / "log.txt", "bytes"));
    EXPECT_FALSE(AppendAllOrNothing(dir.path() / "missing" / "data.txt", "bytes"));
    EXPECT_TRUE(dir.files().empty());
    const fs::path log = dir.path() / "log.txt", data = dir.path() / "data.txt";
    ASSERT_TRUE(WriteFileAtomically(log, "first version, rather long\r\n"));
    ASSERT_TRUE(WriteFileAtomically(log, std::string("second\0\n", 8)));
    EXPECT_EQ(FileText(log), std::string("second\0\n", 8));
    ASSERT_TRUE(AppendAllOrNothing(data, "a\n"));
    ASSERT_TRUE(AppendAllOrNothing(data, "b\r\n"));
    EXPECT_EQ(FileText(data), "a\nb\r\n");
    EXPECT_EQ(dir.files().size(), 2u);
}

}  // namespace
}  // namespace tavolex
