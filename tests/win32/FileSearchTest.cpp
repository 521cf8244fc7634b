#include <windows.h>

#include <gtest/gtest.h>

#include "mainwindow/PathTests.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/Win32FileSearch.h"
#include "support/TempFolder.h"

namespace platform::win32 {
namespace {

using quell::fileExists;
using quell::testing::TempFolder;

class FileSearchTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) const { return dir.path() + "\\" + name; }
    // Named through the W functions: the temporary folder's helpers take names as ANSI.
    void Touch(const std::string& name) {
        const HANDLE file = ::CreateFileW(Widen(Path(name)).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        ::CloseHandle(file);
    }
    void SetAttributes(const std::string& name, DWORD attributes) {
        ASSERT_TRUE(::SetFileAttributesW(Widen(Path(name)).c_str(), attributes));
    }

    TempFolder dir;
    Win32FileSearch search;
};

TEST_F(FileSearchTest, OrdinaryFileExistsWhateverTheCaseOfItsPath) {
    dir.Write("allowed.txt", "a\r\n");
    Touch("Caf\xC3\xA9.txt");
    EXPECT_TRUE(fileExists(search, Path("allowed.txt")));
    EXPECT_TRUE(fileExists(search, Path("ALLOWED.TXT")));
    EXPECT_TRUE(quell::xfileExists::FileExists(search, Path("Allowed.Txt")));
    EXPECT_TRUE(fileExists(search, Path("CAF\xC3\x89.TXT")));
    SetAttributes("allowed.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(fileExists(search, Path("allowed.txt")));
    SetAttributes("allowed.txt", FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileSearchTest, WhatIsNotAnOrdinaryFileIsMissing) {
    ASSERT_TRUE(::CreateDirectoryW(Widen(Path("folder")).c_str(), nullptr));
    dir.Write("hidden.txt", "");
    dir.Write("system.txt", "");
    dir.Write("other.txt", "");
    SetAttributes("hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    SetAttributes("system.txt", FILE_ATTRIBUTE_SYSTEM);
    const std::string paths[] = {
        Path("folder"),
        Path("folder\\"),
        dir.path() + "\\",
        Path("hidden.txt"),
        Path("system.txt"),
        Path("missing.txt"),
        Path("*.txt"),
        Path("o?her.txt"),
        Path("folder\\missing.txt"),
        "",
        "C:\\no<such>|path\\x.txt",
    };
    for (const std::string& path : paths) {
        EXPECT_FALSE(fileExists(search, path)) << path;
    }
    SetAttributes("hidden.txt", FILE_ATTRIBUTE_NORMAL);
    SetAttributes("system.txt", FILE_ATTRIBUTE_NORMAL);
}

// The classic search skipped entries it was not asked for and went on to the next.
TEST_F(FileSearchTest, SearchSkipsHiddenEntriesToTheFirstOrdinaryFile) {
    dir.Write("a.txt", "");
    dir.Write("b.txt", "");
    SetAttributes("a.txt", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(search.FirstFile(Path("?.txt")), "b.txt");
    EXPECT_EQ(search.FirstFile(Path("c.txt")), "");
    SetAttributes("a.txt", FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileSearchTest, DriveThatIsNotThereIsMissingNotAnError) {
    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Y'; letter > 'D'; --letter) {
        if ((drives & (1u << (letter - 'A'))) == 0) {
            EXPECT_FALSE(fileExists(search, std::string(1, letter) + ":\\allowed.txt"));
            return;
        }
    }
    GTEST_SKIP() << "every drive letter is in use";
}

}  // namespace
}  // namespace platform::win32
