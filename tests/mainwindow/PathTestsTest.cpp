#include "mainwindow/PathTests.h"

#include <gtest/gtest.h>

#include "support/FakeFileSearch.h"

namespace quell {
namespace {

using testing::FakeFileSearch;

struct TrimCase {
    const char* path;
    const char* name;
};

// The main window's and the help window's names must give the same answers.
TEST(PathTestsTest, TrimPathAndGetFileNameKeepWhatFollowsTheLastBackslash) {
    const TrimCase cases[] = {
        {"C:\\a\\b.txt", "b.txt"}, {"b.txt", "b.txt"},           {"C:\\a\\", ""},        {"", ""},
        {"\\\\srv\\s\\f", "f"},    {"C:/a/b.txt", "C:/a/b.txt"}, {"C:b.txt", "C:b.txt"}, {"\\", ""},
    };
    for (const TrimCase& c : cases) {
        EXPECT_EQ(TrimPath(c.path), c.name) << c.path;
        EXPECT_EQ(xfileExists::GetFileName(c.path), c.name) << c.path;
    }
}

struct ExistsCase {
    const char* path;
    const char* found;  // what the directory search answers
    bool exists;
};

TEST(PathTestsTest, FileExistsComparesTheFoundNameIgnoringCase) {
    const ExistsCase cases[] = {
        {"C:\\Lists\\allowed.txt", "allowed.txt", true},
        {"C:\\LISTS\\ALLOWED.TXT", "allowed.txt", true},
        {"C:\\Lists\\\xC3\x89T\xC3\x89.txt", "\xC3\xA9t\xC3\xA9.TXT", true},
        {"C:\\Lists\\missing.txt", "", false},
        {"C:\\Lists\\*.txt", "allowed.txt", false},
        {"C:\\Lists\\allowed.tx?", "allowed.txt", false},
        // The classic test took an empty answer for an empty name as a match.
        {"C:\\Lists\\", "", false},
        {"", "", false},
    };
    for (const ExistsCase& c : cases) {
        FakeFileSearch search;
        search.answers[c.path] = c.found;
        EXPECT_EQ(fileExists(search, c.path), c.exists) << c.path;
        EXPECT_EQ(xfileExists::FileExists(search, c.path), c.exists) << c.path;
    }
}

TEST(PathTestsTest, SearchesForThePathAsGiven) {
    FakeFileSearch search;
    (void)fileExists(search, "C:\\Tools\\App\\allowed.txt");
    EXPECT_EQ(search.queries, std::vector<std::string>{"C:\\Tools\\App\\allowed.txt"});
}

}  // namespace
}  // namespace quell
