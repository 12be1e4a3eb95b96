#include "main/ui/greek_typing.h"

#include <gtest/gtest.h>

namespace termdex {
namespace {

std::u32string TypeAll(GreekTyping &typing, const std::u32string &keys)
{
    std::u32string out;
    for (char32_t key : keys)
        out += typing.Type(key);
    return out;
}

struct Row
{
    const char32_t *keys;
    const char32_t *greek;
};

TEST(GreekTyping, LatinKeysGiveTheLettersOfTheGreekLayout)
{
    const std::vector<Row> rows = {
        {U"abgdezhuiklmnjoprstyfxcv", U"αβγδεζηθικλμνξοπρστυφχψω"},
        {U"ABGDEZHUIKLMNJOPRSTYFXCV", U"ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ"},
        {U"foros", U"φοροσ"},
        {U"forow", U"φορος"}, // w is the final sigma
        {U"q", U";"},         // the Greek question mark
        {U"tax 2025!", U"ταχ 2025!"},
    };
    for (const Row &row : rows) {
        GreekTyping typing;
        EXPECT_EQ(TypeAll(typing, row.keys), row.greek);
    }
}

TEST(GreekTyping, AccentKeysMarkTheNextVowel)
{
    const std::vector<Row> rows = {
        {U"f;orow", U"φόρος"}, // the accent key comes before its vowel
        {U"fo;ros", U"φο΄ροσ"},
        {U";a;e;h;i;o;y;v", U"άέήίόύώ"},
        {U";A;E;H;I;O;Y;V", U"ΆΈΉΊΌΎΏ"},
        {U":i:y:I:Y", U"ϊϋΪΫ"},
        {U";:i:;y", U"ΐΰ"}, // both accent keys, in either order
        {U";t", U"΄τ"},     // a letter without an accented form: the mark, then the letter
        {U"; ", U"΄"},      // the blank gives the mark alone
        {U": ", U"¨"},
        {U";;", U"΄"}, // the same key twice gives its mark
        {U";:;", U"΅"},
    };
    for (const Row &row : rows) {
        GreekTyping typing;
        EXPECT_EQ(TypeAll(typing, row.keys), row.greek);
    }
}

TEST(GreekTyping, WaitingAccentIsForgottenOnReset)
{
    GreekTyping typing;
    EXPECT_TRUE(typing.Type(U';').empty());
    EXPECT_TRUE(typing.AccentWaiting());
    typing.Reset();
    EXPECT_FALSE(typing.AccentWaiting());
    EXPECT_EQ(typing.Type(U'a'), U"α");
}

} // namespace
} // namespace termdex
