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

TEST(AtomicFile, ReplacingAFileLeavesOnlyTheNewBytesAndNoTemporaryBeside) {
    TemporaryDirectory dir;
    const fs::path file = dir.path() / "log.txt";
    ASSERT_TRUE(WriteFileAtomically(file, "first version, rather long\r\n"));
    ASSERT_TRUE(WriteFileAtomically(file, std::string("second\0\n", 8)));
    EXPECT_EQ(FileText(file), std::string("second\0\n", 8));
    EXPECT_EQ(dir.files(), std::vector<fs::path>{"log.txt"});
}

#ifndef _WIN32
TEST(AtomicFile, AReplacedFileTakesThePermissionsTheCurrentMaskAllows) {
    TemporaryDirectory dir;
    const fs::path file = dir.path() / "saved.csv";
    const mode_t before = ::umask(027);
    ASSERT_TRUE(WriteFileAtomically(file, "x"));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
    ::umask(002);
    ASSERT_TRUE(WriteFileAtomically(file, "y"));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0664));
    ::umask(before);
}
#endif

// A file that cannot be written fails and leaves nothing.
TEST(AtomicFile, AppendsCreateTheFileThenAddToItByteForByte) {
    TemporaryDirectory dir;
    EXPECT_FALSE(WriteFileAtomically(dir.path() / "missing" / "log.txt", "bytes"));
    EXPECT_FALSE(AppendAllOrNothing(dir.path() / "missing" / "data.txt", "bytes"));
    EXPECT_TRUE(dir.files().empty());
    const fs::path file = dir.path() / "data.txt";
    ASSERT_TRUE(AppendAllOrNothing(file, "a\n"));
    ASSERT_TRUE(AppendAllOrNothing(file, "b\r\n"));
    EXPECT_EQ(FileText(file), "a\nb\r\n");
}

}  // namespace
}  // namespace tavolex
