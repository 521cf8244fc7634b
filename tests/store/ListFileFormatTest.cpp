#include "store/ListFileFormat.h"

#include <gtest/gtest.h>

namespace quell {
namespace {

struct SplitCase {
    std::string text;
    std::vector<std::string> lines;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(c.text);
}

class SplitLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLinesTest, EndsLinesAtCrLfOrLoneCr) {
    const auto views = SplitLines(GetParam().text);
    EXPECT_EQ(std::vector<std::string>(views.begin(), views.end()), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Texts, SplitLinesTest,
                         ::testing::Values(SplitCase{"", {}}, SplitCase{"a\r\nb\r\n", {"a", "b"}},
                                           SplitCase{"a\r\nb", {"a", "b"}},  // no final terminator
                                           SplitCase{"a\rb\r", {"a", "b"}},  // lone CR
                                           SplitCase{"a\nb\r\n", {"a\nb"}},  // lone LF stays
                                           SplitCase{"\r\n", {""}},
                                           SplitCase{"a\r\n\r\n", {"a", ""}},
                                           SplitCase{"a\r\r\n", {"a", ""}}, SplitCase{"\n", {"\n"}},
                                           SplitCase{" \r\n  \r\n", {" ", "  "}}));

TEST(ParseListFileTest, SkipsOnlyExactlyEmptyAndOneSpaceLines) {
    EXPECT_EQ(ParseListFile("\r\n \r\n  \r\n a.com\r\nb.org"),
              (std::vector<std::string>{"  ", " a.com", "b.org"}));
}

TEST(RewriteContentTest, EndsWithExtraCrLf) {
    EXPECT_EQ(RewriteContent("a.com\r\n"), "a.com\r\n\r\n");
    EXPECT_EQ(RewriteContent(""), "\r\n");
}

}  // namespace
}  // namespace quell
