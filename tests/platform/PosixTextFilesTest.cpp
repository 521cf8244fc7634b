#include "platform/posix/PosixTextFiles.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/TempFolder.h"

namespace platform {
namespace {

using quell::testing::TempFolder;

// Fault injection: the Nth write of the process fails with a full disk after writing part.
int g_writesLeft = 0;
ssize_t WriteUntilDiskFull(int fd, const void* data, size_t size) {
    if (g_writesLeft-- <= 0) {
        errno = ENOSPC;
        return -1;
    }
    return ::write(fd, data, size > 3 ? 3 : size);  // short writes until the disk fills
}
int FailingFsync(int) {
    errno = EIO;
    return -1;
}
int FailingRename(const char*, const char*) {
    errno = EACCES;
    return -1;
}

class PosixTextFilesTest : public ::testing::Test {
  protected:
    TempFolder dir;
    PosixTextFiles files;
};

TEST_F(PosixTextFilesTest, WritesAndReadsWindows1252) {
    ASSERT_TRUE(files.AppendText(dir.File("a.txt"), "caf\xC3\xA9\r\n").ok());
    EXPECT_EQ(dir.Read("a.txt"), "caf\xE9\r\n");
    const Result<std::string> text = files.ReadText(dir.File("a.txt"));
    ASSERT_TRUE(text.ok());
    EXPECT_EQ(text.value(), "caf\xC3\xA9\r\n");
}

TEST_F(PosixTextFilesTest, AppendAddsToTheEnd) {
    dir.Write("a.txt", "one");
    ASSERT_TRUE(files.AppendText(dir.File("a.txt"), "two\r\n").ok());
    EXPECT_EQ(dir.Read("a.txt"), "onetwo\r\n");
}

TEST_F(PosixTextFilesTest, ReplaceRewritesWhole) {
    dir.Write("a.txt", "old content that is long");
    ASSERT_TRUE(files.ReplaceText(dir.File("a.txt"), "new\r\n").ok());
    EXPECT_EQ(dir.Read("a.txt"), "new\r\n");
    EXPECT_EQ(dir.EntryCount(), 1);  // no temporary left behind
}

TEST_F(PosixTextFilesTest, MissingFileReadFailsWithReason) {
    const Result<std::string> text = files.ReadText(dir.File("none.txt"));
    ASSERT_FALSE(text.ok());
    EXPECT_EQ(text.error().code, static_cast<std::uint32_t>(ENOENT));
    EXPECT_FALSE(text.error().reason.empty());
}

TEST_F(PosixTextFilesTest, UnrepresentableTextIsRefusedAndNothingWritten) {
    dir.Write("a.txt", "keep\r\n");
    for (Status status : {files.AppendText(dir.File("a.txt"), "\xD0\x94.example\r\n"),
                          files.ReplaceText(dir.File("a.txt"), "\xD0\x94.example\r\n")}) {
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.error().kind, ErrorKind::Unrepresentable);
        EXPECT_EQ(status.error().reason, "\xD0\x94");
        EXPECT_EQ(status.error().code, 1252u);
    }
    EXPECT_EQ(dir.Read("a.txt"), "keep\r\n");
    EXPECT_FALSE(files.AppendText(dir.File("new.txt"), "\xD0\x94").ok());
    EXPECT_FALSE(dir.Has("new.txt"));
}

struct ReplaceFault {
    const char* name;
    PosixFileOps ops;
    int writesBeforeFull;
};

void PrintTo(const ReplaceFault& f, std::ostream* os) {
    *os << f.name;
}

class ReplaceFaultTest : public PosixTextFilesTest,
                         public ::testing::WithParamInterface<ReplaceFault> {};

TEST_P(ReplaceFaultTest, OldContentSurvivesAndNoTemporaryIsLeft) {
    g_writesLeft = GetParam().writesBeforeFull;
    PosixTextFiles faulty(GetParam().ops);
    dir.Write("allowed.txt", "a.example\r\nb.example\r\n\r\n");
    const Status status = faulty.ReplaceText(dir.File("allowed.txt"), "c.example\r\n\r\n");
    ASSERT_FALSE(status.ok());
    EXPECT_FALSE(status.error().reason.empty());
    EXPECT_EQ(dir.Read("allowed.txt"), "a.example\r\nb.example\r\n\r\n");
    EXPECT_EQ(dir.EntryCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ReplaceFaultTest,
    ::testing::Values(ReplaceFault{"DiskFullAtOnce", {&WriteUntilDiskFull, &::fsync, &::rename}, 0},
                      ReplaceFault{
                          "DiskFullMidWrite", {&WriteUntilDiskFull, &::fsync, &::rename}, 2},
                      ReplaceFault{"FlushFails", {&::write, &FailingFsync, &::rename}, 0},
                      ReplaceFault{"ReplaceFails", {&::write, &::fsync, &FailingRename}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PosixTextFilesTest, FailedAppendLeavesFileAsItWas) {
    g_writesLeft = 2;  // part of the line gets out before the disk fills
    PosixTextFiles faulty({&WriteUntilDiskFull, &::fsync, &::rename});
    dir.Write("allowed.txt", "a.example\r\n");
    ASSERT_FALSE(faulty.AppendText(dir.File("allowed.txt"), "longer.example\r\n").ok());
    EXPECT_EQ(dir.Read("allowed.txt"), "a.example\r\n");
    g_writesLeft = 1;
    ASSERT_FALSE(faulty.AppendText(dir.File("fresh.txt"), "longer.example\r\n").ok());
    EXPECT_FALSE(dir.Has("fresh.txt"));
}

}  // namespace
}  // namespace platform
