#include "blocker/TextCompare.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "blocker/ListText.h"

namespace quell {
namespace {

TEST(FoldCaseTest, LowersLettersOfAnsiCodePages) {
    EXPECT_EQ(FoldCase("ExAmPle.COM"), "example.com");
    EXPECT_EQ(FoldCase("\xC3\x89T\xC3\x89"), "\xC3\xA9t\xC3\xA9");                // ÉTÉ -> été
    EXPECT_EQ(FoldCase("\xC3\x97"), "\xC3\x97");                                  // × stays
    EXPECT_EQ(FoldCase("\xC5\xA0\xC5\x92\xC5\xBD"), "\xC5\xA1\xC5\x93\xC5\xBE");  // ŠŒŽ
    EXPECT_EQ(FoldCase("\xC5\xB8"), "\xC3\xBF");                                  // Ÿ -> ÿ
    EXPECT_EQ(FoldCase("\xD0\x9F\xD0\x81"), "\xD0\xBF\xD1\x91");                  // ПЁ -> пё
    EXPECT_EQ(FoldCase("\xCE\x91\xCE\x86"), "\xCE\xB1\xCE\xAC");                  // ΑΆ -> αά
    EXPECT_EQ(FoldCase("\xEF\xBC\xA1"), "\xEF\xBD\x81");  // full-width A -> a
    EXPECT_EQ(FoldCase("\xC4\xB0"), "\xC4\xB0");  // dotted capital I: no same-length partner
    // Eight ASCII bytes at a time, every byte value around the letters, then a tail.
    std::string ascii, lowered;
    for (int c = 1; c < 0x80; ++c) {
        ascii += static_cast<char>(c);
        lowered += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    EXPECT_EQ(FoldCase(ascii), lowered);
    EXPECT_EQ(FoldCase("ABCDEFG\xC3\x89XYZ@[`{"), "abcdefg\xC3\xA9xyz@[`{");
}

TEST(FoldCaseTest, PassesInvalidBytesThrough) {
    const std::string bytes("\xFF\xC3(\x80", 4);
    EXPECT_EQ(FoldCase(bytes), bytes);
}

TEST(ContainsFoldedTest, EmptyRules) {
    EXPECT_TRUE(ContainsFolded("a.com\r\n", ""));
    EXPECT_FALSE(ContainsFolded("", ""));
    EXPECT_FALSE(ContainsFolded("", "a"));
    EXPECT_FALSE(ContainsFolded("ab", "abc"));
}

// The vectorised search must agree with the plain one at every length and alignment,
// including needles that end exactly at the text's end.
TEST(ContainsFoldedTest, AgreesWithPlainSearch) {
    std::mt19937 random(1234);
    const std::string alphabet = "ab.\r\n";
    for (int round = 0; round < 4000; ++round) {
        std::string hay(random() % 200, ' ');
        for (char& c : hay) {
            c = alphabet[random() % alphabet.size()];
        }
        std::string needle(1 + random() % 6, ' ');
        for (char& c : needle) {
            c = alphabet[random() % alphabet.size()];
        }
        if (random() % 3 == 0 && hay.size() >= needle.size()) {
            hay.replace(hay.size() - needle.size(), needle.size(), needle);
        }
        ASSERT_EQ(ContainsFolded(hay, needle), hay.find(needle) != std::string::npos)
            << "hay=" << hay << " needle=" << needle;
    }
}

struct MembershipCase {
    const char* list;
    const char* key;
    bool found;
};

void PrintTo(const MembershipCase& c, std::ostream* os) {
    *os << "key \"" << c.key << "\" in \"" << c.list << "\"";
}

class MembershipTest : public ::testing::TestWithParam<MembershipCase> {};

TEST_P(MembershipTest, SubstringOfWholeTextIgnoringCase) {
    const ListText text{std::string(GetParam().list)};
    EXPECT_EQ(text.Contains(GetParam().key), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, MembershipTest,
    ::testing::Values(
        MembershipCase{"example.com\r\n", "EXAMPLE.com", true},
        MembershipCase{"ads.example.com\r\n", "example.com", true},   // part of an entry
        MembershipCase{"myexample.com\r\n", "example.com", true},     // letters in front
        MembershipCase{"example.com\r\n", "ads.example.com", false},  // longer than entry
        MembershipCase{"a.com\r\nb.org\r\n", "com\r\nb", true},       // across entries
        MembershipCase{"a.com\r\n", "", true},                        // empty key
        MembershipCase{"", "", false},                                // empty list
        MembershipCase{"", "a.com", false},
        MembershipCase{"caf\xC3\xA9.example\r\n", "CAF\xC3\x89.EXAMPLE", true},  // É and é
        MembershipCase{"\xD0\xBF\xD1\x80\xD0\xB8\xD0\xBC\xD0\xB5\xD1\x80.rf\r\n",
                       "\xD0\x9F\xD0\xA0\xD0\x98\xD0\x9C\xD0\x95\xD0\xA0.RF", true}));

TEST(ListTextTest, AppendKeepsFoldedCopyInStep) {
    ListText text;
    EXPECT_FALSE(text.Contains("a.com"));
    text.AppendEntry("A.COM");
    EXPECT_EQ(text.Text(), "A.COM\r\n");
    EXPECT_TRUE(text.Contains("a.com"));
    text = std::string("B.ORG\r\n");
    EXPECT_FALSE(text.Contains("a.com"));
    EXPECT_TRUE(text.Contains("b.org"));
}

TEST(StartsWithIgnoreAsciiCaseTest, Prefixes) {
    EXPECT_TRUE(StartsWithIgnoreAsciiCase("HTTP://x", "http://"));
    EXPECT_FALSE(StartsWithIgnoreAsciiCase("http:/", "http://"));
    EXPECT_FALSE(StartsWithIgnoreAsciiCase(" http://x", "http://"));
}

}  // namespace
}  // namespace quell
