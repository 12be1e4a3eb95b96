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
    EXPECT_TRUE(r.invalidUtf8);
    EXPECT_EQ(r.problem, "invalid UTF-8 at byte 1: truncated sequence");
    r = Utf8ToCp1253("\xFF");
    EXPECT_FALSE(r.text);
    r = Utf8ToCp1253("Αγορά");
    ASSERT_TRUE(r.text);
    EXPECT_EQ(*r.text, "\xC1\xE3\xEF\xF1\xDC");
}

TEST(Cp1253Test, OnlyStrictUtf8IsText)
{
    // An encoded NUL must not reach the program as a byte that cuts a text short.
    for (const char *bad :
         {"a\xC0\x80", "\xC1\xBF", "\xE0\x80\xAF", "\xF0\x82\x82\xAC", "\xED\xA0\x80",
          "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\x80", "\xCE", "\xF0\x9F\x98"}) {
        EXPECT_TRUE(Utf8Error(bad)) << bad;
        const Utf8Conversion r = Utf8ToCp1253(bad);
        EXPECT_TRUE(!r.text && r.invalidUtf8) << bad;
    }
    EXPECT_EQ(*Utf8Error("ab\xC0\x80"), "invalid UTF-8 at byte 3: overlong form");
    EXPECT_EQ(*Utf8Error("\xED\xA0\x80"), "invalid UTF-8 at byte 1: surrogate");
    for (const char *good :
         {"", "\x7F", "\xC2\x80", "\xED\x9F\xBF", "\xEE\x80\x80", "\xF4\x8F\xBF\xBF", "φόρος €"})
        EXPECT_FALSE(Utf8Error(good)) << good;
}

} // namespace
} // namespace termdex
