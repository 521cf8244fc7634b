#include "platform/Cp1252.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Cp1252Test, EveryByteSurvivesDecodeAndEncode) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::optional<std::string> back = cp1252::Encode(cp1252::Decode(all));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Cp1252Test, MapsTheWindowsSpecificRange) {
    EXPECT_EQ(cp1252::Decode("\x80\x8A\x9F\xC9\xE9"),
              "\xE2\x82\xAC\xC5\xA0\xC5\xB8\xC3\x89\xC3\xA9");  // € Š Ÿ É é
}

TEST(Cp1252Test, ReportsFirstCharacterItCannotHold) {
    cp1252::Unencodable failure;
    EXPECT_FALSE(cp1252::Encode("ok-\xD0\x94\xD0\xB0.example", &failure));  // Cyrillic
    EXPECT_EQ(failure.character, "\xD0\x94");
    EXPECT_FALSE(cp1252::Encode("\xF0\x9F\x98\x80", &failure));  // emoji
    EXPECT_EQ(failure.character, "\xF0\x9F\x98\x80");
    EXPECT_FALSE(cp1252::Encode(std::string("\xC3", 1), &failure));  // broken UTF-8
    EXPECT_FALSE(cp1252::Encode("\xC0\xAF", &failure));              // overlong "/"
}

}  // namespace
}  // namespace platform
