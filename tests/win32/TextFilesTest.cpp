#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

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

std::vector<std::string> OurTemporaries(const TempFolder& dir, std::string_view file) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        if (IsTemporaryOf(entry.path().filename().string(), file)) {
            found.push_back(entry.path().filename().string());
        }
    }
    return found;
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
    // Wine's ReplaceFileW leaves a backup of its own ("rf*.tmp") when it fails; ours must be
    // gone.
    EXPECT_TRUE(OurTemporaries(dir, "allowed.txt").empty());
}

// ReplaceFileW that fails half-way: the old list gone (or renamed away) and the new one only
// in the temporary file. That file is put in place, now or, if even that fails, at the next
// start; it is never deleted.
DWORD g_replaceError = 0;
bool g_moveFails = false;

BOOL WINAPI ReplaceHalfWay(LPCWSTR replaced, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
    if (g_replaceError == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
        ::DeleteFileW(replaced);
    } else {
        ::MoveFileW(replaced, (std::wstring(replaced) + L".old").c_str());
    }
    ::SetLastError(g_replaceError);
    return FALSE;
}

BOOL WINAPI MoveUnlessFailing(LPCWSTR from, LPCWSTR to, DWORD flags) {
    if (g_moveFails) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return ::MoveFileExW(from, to, flags);
}

struct HalfWayCase {
    const char* name;
    DWORD error;
    bool moveFails;
};

void PrintTo(const HalfWayCase& c, std::ostream* os) {
    *os << c.name;
}

class HalfWayReplaceTest : public Win32TextFilesTest,
                           public ::testing::WithParamInterface<HalfWayCase> {};

TEST_P(HalfWayReplaceTest, NewListTakesThePlaceOfTheOld) {
    g_replaceError = GetParam().error;
    g_moveFails = GetParam().moveFails;
    Win32TextFiles halfWay({&ReplaceHalfWay, &MoveUnlessFailing});
    dir.Write("allowed.txt", "a.example\r\n");
    const Status status =
        halfWay.ReplaceText(dir.File("allowed.txt"), "a.example\r\nb.example\r\n");
    EXPECT_EQ(status.ok(), !GetParam().moveFails);
    if (GetParam().moveFails) {
        const std::vector<std::string> kept = OurTemporaries(dir, "allowed.txt");
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_NE(status.error().reason.find(kept[0]), std::string::npos) << status.error().reason;
        ASSERT_TRUE(files.Recover(dir.File("allowed.txt")).ok());  // the next start
    }
    EXPECT_EQ(dir.Read("allowed.txt"), "a.example\r\nb.example\r\n");
    EXPECT_TRUE(OurTemporaries(dir, "allowed.txt").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, HalfWayReplaceTest,
    ::testing::Values(HalfWayCase{"OldGone", ERROR_UNABLE_TO_MOVE_REPLACEMENT, false},
                      HalfWayCase{"OldRenamed", ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, false},
                      HalfWayCase{"OldGoneAndMoveFails", ERROR_UNABLE_TO_MOVE_REPLACEMENT, true},
                      HalfWayCase{"OldRenamedAndMoveFails", ERROR_UNABLE_TO_MOVE_REPLACEMENT_2,
                                  true}),
    [](const auto& test) { return std::string(test.param.name); });

// Only our own leftovers of this one file go; another file's and other programs' stay.
TEST_F(Win32TextFilesTest, RecoverRemovesOnlyOurLeftoversOfTheFile) {
    dir.Write("allowed.txt", "a.example\r\n");
    dir.Write("allowed.txt.~abc123.tmp", "a.exa");
    for (const char* foreign : {"allowed.txt.~abc12.tmp", "allowed.txt.~abc1234.tmp",
                                "disallowed.txt.~abc123.tmp", "rf1234.tmp", "qp12.tmp"}) {
        dir.Write(foreign, "x");
    }
    ASSERT_TRUE(files.Recover(dir.File("allowed.txt")).ok());
    EXPECT_FALSE(dir.Has("allowed.txt.~abc123.tmp"));
    EXPECT_EQ(dir.Read("allowed.txt"), "a.example\r\n");
    EXPECT_EQ(dir.EntryCount(), 6);
}

// Past 2 GiB the conversion calls' int counts would wrap and the list would load empty.
TEST_F(Win32TextFilesTest, FileTooLargeToHoldIsRefusedUnread) {
    const std::wstring path = Widen(dir.File("allowed.txt"));
    {
        UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER size{};
        size.QuadPart = (2ll << 30) + 5;  // sparse: no disk is filled
        ASSERT_TRUE(::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file.get()));
    }
    const Result<std::string> text = files.ReadText(dir.File("allowed.txt"));
    ::DeleteFileW(path.c_str());
    ASSERT_FALSE(text.ok());
    EXPECT_EQ(text.error().code, static_cast<std::uint32_t>(ERROR_FILE_TOO_LARGE));
    EXPECT_EQ(text.error().reason, "It holds 2048 MB; a list file may hold 256 MB at most.");
}

// The start-up search skips hidden and system files; the adapter must still see them.
TEST_F(Win32TextFilesTest, HiddenAndSystemFilesExist) {
    for (const DWORD attribute : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        dir.Write("allowed.txt", "a\r\n");
        ASSERT_TRUE(::SetFileAttributesW(Widen(dir.File("allowed.txt")).c_str(), attribute));
        EXPECT_TRUE(files.Exists(dir.File("allowed.txt")));
        ::SetFileAttributesW(Widen(dir.File("allowed.txt")).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(Win32TextFilesTest, UnrepresentableTextLeavesFileAlone) {
    dir.Write("allowed.txt", "a.example\r\n");
    EXPECT_FALSE(files.AppendText(dir.File("allowed.txt"), "\xD0\x94\r\n").ok());
    EXPECT_FALSE(files.ReplaceText(dir.File("allowed.txt"), "\xD0\x94\r\n").ok());
    EXPECT_EQ(dir.Read("allowed.txt"), "a.example\r\n");
}

}  // namespace
}  // namespace platform::win32
