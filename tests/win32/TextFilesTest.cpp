#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/win32/Handles.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/Win32TextFiles.h"
#include "support/TempFolder.h"

namespace platform::win32 {
namespace {

using quell::testing::TempFolder;

TEST(AnsiTest, CodePageIsPinnedTo1252) {
    EXPECT_EQ(::GetACP(), 1252u);
}

TEST(AnsiTest, ConvertsLatinLettersToSingleBytes) {
    const Result<std::string> bytes = ToAnsi("caf\xC3\xA9 \xE2\x82\xAC", "x");
    ASSERT_TRUE(bytes.ok());
    EXPECT_EQ(bytes.value(), "caf\xE9 \x80");
    EXPECT_EQ(FromAnsi("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(AnsiTest, RefusesWhatTheCodePageCannotHoldInsteadOfBestFit) {
    // U+0100 would best-fit to "A"; Cyrillic and emoji have no byte at all.
    for (const char* text : {"\xC4\x80.example", "\xD0\x94.example", "\xF0\x9F\x98\x80"}) {
        const Result<std::string> bytes = ToAnsi(text, "x");
        ASSERT_FALSE(bytes.ok()) << text;
        EXPECT_EQ(bytes.error().kind, ErrorKind::Unrepresentable);
        EXPECT_EQ(bytes.error().code, 1252u);
    }
    EXPECT_EQ(ToAnsi("ok\xD0\x94", "x").error().reason, "\xD0\x94");
    EXPECT_EQ(ToAnsi("\xF0\x9F\x98\x80", "x").error().reason, "\xF0\x9F\x98\x80");
}

int OurTemporaries(const TempFolder& dir) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        count += entry.path().filename().string().rfind("qp", 0) == 0 ? 1 : 0;
    }
    return count;
}

class Win32TextFilesTest : public ::testing::Test {
  protected:
    TempFolder dir;
    Win32TextFiles files;
};

TEST_F(Win32TextFilesTest, AppendCreatesThenExtends) {
    ASSERT_TRUE(files.AppendText(dir.File("allowed.txt"), "a.example\r\n").ok());
    ASSERT_TRUE(files.AppendText(dir.File("allowed.txt"), "caf\xC3\xA9.example\r\n").ok());
    EXPECT_EQ(dir.Read("allowed.txt"), "a.example\r\ncaf\xE9.example\r\n");
    EXPECT_TRUE(files.Exists(dir.File("allowed.txt")));
    EXPECT_FALSE(files.Exists(dir.path()));  // a folder is not a list file
}

TEST_F(Win32TextFilesTest, ReplaceRewritesAndLeavesNoTemporary) {
    ASSERT_TRUE(files.ReplaceText(dir.File("new.txt"), "first\r\n\r\n").ok());  // new file
    dir.Write("allowed.txt", "old content, longer than the new one\r\n");
    ASSERT_TRUE(files.ReplaceText(dir.File("allowed.txt"), "b.example\r\n\r\n").ok());
    EXPECT_EQ(dir.Read("allowed.txt"), "b.example\r\n\r\n");
    EXPECT_EQ(dir.Read("new.txt"), "first\r\n\r\n");
    EXPECT_EQ(dir.EntryCount(), 2);
}

TEST_F(Win32TextFilesTest, ReadDecodesAnsi) {
    dir.Write("allowed.txt", "\xC9t\xE9\r\n");
    const Result<std::string> text = files.ReadText(dir.File("allowed.txt"));
    ASSERT_TRUE(text.ok());
    EXPECT_EQ(text.value(), "\xC3\x89t\xC3\xA9\r\n");
    const Result<std::string> missing = files.ReadText(dir.File("none.txt"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(missing.error().reason.empty());
}

// Another program holding the list open without sharing: the rewrite fails, says why, and the
// list keeps its old content; no temporary file is left behind.
TEST_F(Win32TextFilesTest, LockedListIsNotTruncated) {
    dir.Write("allowed.txt", "a.example\r\n");
    UniqueFileHandle lock(::CreateFileW(Widen(dir.File("allowed.txt")).c_str(), GENERIC_READ, 0,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    const Status replaced = files.ReplaceText(dir.File("allowed.txt"), "b.example\r\n");
    const Status appended = files.AppendText(dir.File("allowed.txt"), "c.example\r\n");
    lock.reset();
    EXPECT_FALSE(replaced.ok());
    EXPECT_FALSE(appended.ok());
    EXPECT_FALSE(replaced.error().reason.empty());
    EXPECT_EQ(dir.Read("allowed.txt"), "a.example\r\n");
    // Wine's ReplaceFileW leaves a backup of its own ("rf*.tmp") when it fails; ours ("qp*")
    // must be gone.
    EXPECT_EQ(OurTemporaries(dir), 0);
}

TEST_F(Win32TextFilesTest, UnrepresentableTextLeavesFileAlone) {
    dir.Write("allowed.txt", "a.example\r\n");
    EXPECT_FALSE(files.AppendText(dir.File("allowed.txt"), "\xD0\x94\r\n").ok());
    EXPECT_FALSE(files.ReplaceText(dir.File("allowed.txt"), "\xD0\x94\r\n").ok());
    EXPECT_EQ(dir.Read("allowed.txt"), "a.example\r\n");
}

}  // namespace
}  // namespace platform::win32
