#include "lib/cp1253.h"

#include <gtest/gtest.h>

namespace termdex {
namespace {

TEST(Cp1253Test, EveryByteRoundTrips)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const auto back = Utf8ToCp1253(Cp1253ToUtf8(all));
    ASSERT_TRUE(back.text);
    EXPECT_EQ(*back.text, all);
}

TEST(Cp1253Test, GreekAndUndefinedBytesMapAsWindowsDoes)
{
    EXPECT_EQ(Cp1253ToCodePoint(0xC1), U'Α');
    EXPECT_EQ(Cp1253ToCodePoint(0xF2), U'ς');
    EXPECT_EQ(Cp1253ToCodePoint(0xA2), U'Ά');
    EXPECT_EQ(Cp1253ToCodePoint(0xB4), U'΄');
    EXPECT_EQ(Cp1253ToCodePoint(0x80), U'€');
    EXPECT_EQ(Cp1253ToCodePoint(0x81), 0x81u);
    EXPECT_EQ(Cp1253ToCodePoint(0xAA), 0xF8F9u);
    EXPECT_EQ(Cp1253ToCodePoint(0xD2), 0xF8FAu);
    EXPECT_EQ(Cp1253ToCodePoint(0xFF), 0xF8FBu);
    EXPECT_EQ(Cp1253ToUtf8("\xF6\xFC\xF1\xEF\xF2"), "φόρος");
}

TEST(Cp1253Test, RefusesWhatTheCodePageCannotHold)
{
    auto r = Utf8ToCp1253("tax ж");
    EXPECT_FALSE(r.text);
    EXPECT_EQ(r.problem, "ж");
    r = Utf8ToCp1253("\xE2\x82"); // truncated sequence
    EXPECT_FALSE(r.text);
    EXPECT_EQ(r.problem, "invalid UTF-8");
    r = Utf8ToCp1253("\xFF");
    EXPECT_FALSE(r.text);
    r = Utf8ToCp1253("Αγορά");
    ASSERT_TRUE(r.text);
    EXPECT_EQ(*r.text, "\xC1\xE3\xEF\xF1\xDC");
}

} // namespace
} // namespace termdex
